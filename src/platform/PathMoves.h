#pragma once

#include <QHash>
#include <QString>

#include <optional>

// Where files and folders went: each move from an old path to a new one. A
// path below a moved folder moved with it.
class TPathMoves {
public:
    void Add(const QString& from, const QString& to);
    bool IsEmpty() const { return m_moves.isEmpty(); }
    // The path's new place; nothing when neither it nor a folder above it
    // moved.
    std::optional<QString> NewPathOf(const QString& path) const;

private:
    QHash<QString, QString> m_moves;
};
