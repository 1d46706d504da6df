#include "platform/PathMoves.h"

void TPathMoves::Add(const QString& from, const QString& to)
{
    QString key = from;
    while (key.size() > 1 && key.endsWith(QLatin1Char('/')))
        key.chop(1);
    QString value = to;
    while (value.size() > 1 && value.endsWith(QLatin1Char('/')))
        value.chop(1);
    m_moves.insert(key, value);
}

std::optional<QString> TPathMoves::NewPathOf(const QString& path) const
{
    if (m_moves.isEmpty())
        return std::nullopt;
    // The path itself, then each folder above it, nearest first.
    for (qsizetype end = path.size(); end > 0; end = path.lastIndexOf(QLatin1Char('/'), end - 1)) {
        const auto moved = m_moves.constFind(path.left(end));
        if (moved != m_moves.constEnd())
            return *moved + path.mid(end);
    }
    return std::nullopt;
}
