#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The lines of one language file, kept twice: as the raw bytes of each line
// (the signature is computed over those) and as decoded text (lookups use
// those). A file is Windows-1252 text unless it is valid UTF-8; lines end with
// CR LF, CR or LF, and the text ends at a NUL byte.
//
// A line "Key=Value" has the key before its first "=" and the value after it,
// neither trimmed; keys compare ignoring case and the first matching line
// wins. Lines without "=" never match.
class TLanguageLines {
public:
    TLanguageLines() = default;

    static TLanguageLines FromBytes(const QByteArray& bytes);
    // Lines made in code; their raw form is their UTF-8 encoding.
    static TLanguageLines FromLines(const QStringList& lines);

    int Count() const { return static_cast<int>(m_lines.size()); }
    bool IsEmpty() const { return m_lines.isEmpty(); }
    const QStringList& Lines() const { return m_lines; }
    const QList<QByteArray>& RawLines() const { return m_raw; }

    // The value of the first line whose key is key (ignoring case); empty when
    // there is none.
    QString Value(const QString& key) const;
    bool HasKey(const QString& key) const;

private:
    void BuildIndex();

    QList<QByteArray> m_raw;
    QStringList m_lines;
    QHash<QString, qsizetype> m_index; // case-folded key -> first line
};

// Where each line of bytes starts and how long it is (without its line
// end). Lines end at CR LF, CR or LF; the text ends at a NUL byte.
struct TLineSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};
QList<TLineSpan> LanguageLineSpans(const QByteArray& bytes);
// The lines themselves.
QList<QByteArray> SplitLanguageBytes(const QByteArray& bytes);
// The key of a raw line: the bytes before its first "="; nothing for a line
// without "=".
std::optional<QByteArray> RawLineKey(const QByteArray& line);

// Removes leading and trailing characters up to and including the blank
// (control characters and blanks), nothing else.
QByteArray TrimBlanks(const QByteArray& text);
QString TrimBlanks(const QString& text);
