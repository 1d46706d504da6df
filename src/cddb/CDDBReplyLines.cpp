#include "cddb/CDDBReplyLines.h"

#include "cddb/FreedbHttp.h"

#include <algorithm>

namespace {

const QLatin1String EndMark(".");

bool IsEndMark(const QString& line)
{
    return line.trimmed() == EndMark;
}

}

bool AnnouncesLines(const QString& statusLine)
{
    if (statusLine.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (statusLine.at(i) < QLatin1Char('0') || statusLine.at(i) > QLatin1Char('9'))
            return false;
    return statusLine.at(1) == QLatin1Char('1');
}

bool IsWholeReply(const QStringList& lines)
{
    if (lines.isEmpty() || !AnnouncesLines(lines.first()))
        return true;
    return std::any_of(lines.begin() + 1, lines.end(), IsEndMark);
}

bool TReplyLineSplitter::Take(const QByteArray& bytes)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size() && !m_whole && !m_stopped; ++i) {
        const char c = bytes.at(i);
        if (c == '\n' && m_afterCR) {
            // The second half of a CR LF that came in two pieces.
            m_afterCR = false;
            start = i + 1;
            continue;
        }
        m_afterCR = false;
        if (c != '\r' && c != '\n')
            continue;
        m_line += bytes.mid(start, i - start);
        EndLine();
        m_afterCR = c == '\r';
        start = i + 1;
    }
    if (m_whole || m_stopped)
        return false;
    m_line += bytes.mid(start);
    return true;
}

void TReplyLineSplitter::Finish()
{
    if (!m_whole && !m_stopped && !m_line.isEmpty())
        EndLine();
}

void TReplyLineSplitter::EndLine()
{
    const QString line = TmyFreedbHttp::DecodeReply(m_line);
    m_line.clear();
    const bool status = m_lines++ == 0;
    if (status)
        m_announces = AnnouncesLines(line);
    m_whole = status ? !m_announces : IsEndMark(line);
    if (!m_reader(line) && !m_whole)
        m_stopped = true;
}
