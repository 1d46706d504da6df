#include "tagengine/ID3FilenameParser.h"

#include "tagengine/DisplayTexts.h"
#include "tagengine/FrameCatalogue.h"

#include "platform/FileNames.h"

#include <QFileInfo>

const std::array<TFileNamePart, 14> FileNameParts = {{
    {'T', "TIT2", true},  {'A', "TPE1", true},  {'B', "TALB", true},  {'N', "TRCK", true},
    {'P', "TPOS", false}, {'R', "TSST", false}, {'C', "COMM", true},  {'U', "TIT1", false},
    {'S', "TIT3", false}, {'I', "TPE2", false}, {'D', "TPE3", false}, {'M', "TPE4", false},
    {'O', "TCOM", false}, {'E', "TENC", false},
}};

QString TID3FilenameParser::FrameIDOfLetter(QChar letter)
{
    const QChar upper = letter.toUpper();
    for (const auto& part : FileNameParts)
        if (upper == QLatin1Char(part.Letter))
            return QString::fromLatin1(part.FrameID);
    return {};
}

void TID3FilenameParser::SetFilenameConstruct(const QString& pattern)
{
    qsizetype start = 0;
    while (start < pattern.size() && pattern.at(start) == QLatin1Char('\\'))
        ++start;
    m_pattern = pattern.mid(start);

    m_levels.clear();
    const QStringList parts = (QStringLiteral("\\") + m_pattern).split(QLatin1Char('\\'));
    // parts[0] is the empty text before the prefix; the last part is level 0.
    for (qsizetype i = parts.size() - 1; i >= 1; --i)
        m_levels.push_back(ParseLevel(parts.at(i)));
}

TFilenameConstruct TID3FilenameParser::ParseLevel(const QString& level)
{
    TFilenameConstruct construct;
    QString separator;
    for (qsizetype i = 0; i < level.size(); ++i) {
        const QChar c = level.at(i);
        if (c != QLatin1Char('%')) {
            separator += c;
            continue;
        }
        if (++i >= level.size())
            break; // a "%" at the end is dropped
        const QChar next = level.at(i);
        if (next == QLatin1Char('%')) {
            separator += next;
            continue;
        }
        const QString id = FrameIDOfLetter(next);
        if (id.isEmpty())
            continue; // unknown placeholder: dropped with its "%"
        construct.Separators << separator;
        separator.clear();
        construct.FrameIDs << id;
    }
    construct.Separators << separator;
    return construct;
}

QString TID3FilenameParser::FieldText(const TEintragdaten* entry, const QString& frameId, bool& filled) const
{
    if (!entry)
        return GetFrameName(frameId);
    QString text = GetColumnText(*entry, frameId).trimmed();
    if (!text.isEmpty())
        filled = true;
    if (frameId == QLatin1String("TRCK") || frameId == QLatin1String("TPOS")) {
        text = text.section(QLatin1Char('/'), 0, 0);
        text = text.rightJustified(NumberDecimals, QLatin1Char('0'));
    }
    return text;
}

QString TID3FilenameParser::BuildFileName(const TEintragdaten* entry, bool& allEmpty) const
{
    allEmpty = false;
    if (m_levels.empty())
        return {};
    const TFilenameConstruct& level = m_levels.front();
    bool filled = false;
    QString result = level.Separators.value(0);
    for (int i = 0; i < level.GetFrameIDCount(); ++i) {
        result += FieldText(entry, level.FrameIDs.at(i), filled);
        result += level.Separators.value(i + 1);
    }
    allEmpty = !filled;
    return CleanFileName(RemoveInvalidFileNameChars(result));
}

QString TID3FilenameParser::RemoveInvalidFileNameChars(const QString& text)
{
    static const QString invalid = QStringLiteral("\"*/:<>?\\|");
    QString result;
    result.reserve(text.size());
    for (const QChar c : text)
        if (!invalid.contains(c))
            result += c;
    return result;
}

void TID3FilenameParser::ParseFileName(const QString& path)
{
    m_results.clear();
    const QString suffix = QFileInfo(path).suffix();
    QString rest = suffix.isEmpty() && !path.endsWith(QLatin1Char('.')) ? path : path.left(path.size() - suffix.size() - 1);
    if (rest.isEmpty())
        return;
    const QStringList parts = rest.split(QLatin1Char('/'));
    size_t level = 0;
    for (qsizetype i = parts.size() - 1; i >= 0 && level < m_levels.size(); --i, ++level)
        MatchConstruct(parts.at(i), m_levels[level]);
}

void TID3FilenameParser::MatchConstruct(const QString& part, const TFilenameConstruct& level)
{
    QString rest = part;
    const int count = level.GetSeparatorCount();
    for (int j = 0; j < count; ++j) {
        const QString& separator = level.Separators.at(j);
        QString value;
        if (!separator.isEmpty()) {
            const qsizetype at = rest.indexOf(separator);
            if (at < 0) {
                value = rest;
                rest.clear();
            } else {
                value = rest.left(at);
                rest = rest.mid(at + separator.size());
            }
        } else if (j == count - 1) {
            value = rest;
            rest.clear();
        }
        if (j > 0)
            m_results.push_back({value, level.FrameIDs.at(j - 1)});
        if (rest.isEmpty())
            break;
    }
}
