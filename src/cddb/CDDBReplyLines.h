#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Takes one line of a CD database reply (without its line end); false when
// no more lines are wanted.
using TReplyLineReader = std::function<bool(const QString& line)>;

// Whether a reply's status line announces lines up to the end mark ".": a
// code of three digits whose middle one is 1 (210, 211, ...).
bool AnnouncesLines(const QString& statusLine);
// Whether the lines are a whole reply: no more than the status line, or up
// to the end mark when the status line announces one. No lines at all are
// no reply cut short but an empty one.
bool IsWholeReply(const QStringList& lines);

// Cuts a reply into lines as its bytes arrive and hands each to a reader,
// up to the end of the reply: the status line when it announces nothing
// more, else the end mark. A line ends at CR, LF or CR LF and is read as
// UTF-8 when it is valid UTF-8, else as Windows-1252
// (TmyFreedbHttp::DecodeReply).
class TReplyLineSplitter {
public:
    explicit TReplyLineSplitter(TReplyLineReader reader) : m_reader(std::move(reader)) {}

    // Takes the next bytes; false once no more are wanted (the reply is
    // whole, or the reader wants no more).
    bool Take(const QByteArray& bytes);
    // After the last bytes: a last line without line end is a line too.
    void Finish();

    qsizetype LineCount() const { return m_lines; }
    bool IsWhole() const { return m_whole; }
    // The reader wanted no more before the reply was whole.
    bool Stopped() const { return m_stopped; }

private:
    void EndLine();

    TReplyLineReader m_reader;
    QByteArray m_line;
    bool m_afterCR = false;
    bool m_announces = false;
    qsizetype m_lines = 0;
    bool m_whole = false;
    bool m_stopped = false;
};
