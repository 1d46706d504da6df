#include "mainwindow/EntrySort.h"

#include "common/ColumnCatalogue.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/FrameCodecs.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

enum class TKeyKind { Size, Date, Length, Number, TimeStamp, Text, PaddedText };

TKeyKind KindOf(int column)
{
    const QString id = QString::fromLatin1(ColumnCatalogue[static_cast<size_t>(column)].ID);
    if (id == QLatin1String("*SIZ"))
        return TKeyKind::Size;
    if (id == QLatin1String("*DAT"))
        return TKeyKind::Date;
    if (id == QLatin1String("*LEN"))
        return TKeyKind::Length;
    if (id == QLatin1String("TRCK") || id == QLatin1String("TPOS"))
        return TKeyKind::Number;
    static const char* const timeStamps[] = {"TDEN", "TDOR", "TDRC", "TDTG", "TDRL"};
    for (const char* t : timeStamps)
        if (id == QLatin1String(t))
            return TKeyKind::TimeStamp;
    return ColumnCatalogue[static_cast<size_t>(column)].RightAligned ? TKeyKind::PaddedText : TKeyKind::Text;
}

bool ValidColumn(int column)
{
    return column >= 0 && column < ColumnCount;
}

// What one entry is compared by in one column. Keys compare lexicographically
// by class, numbers, then text, which makes every column a strict weak order.
struct TSortKey {
    int Class = 0; // 0 numbers, 1 text that is no number
    qint64 First = 0;
    qint64 Second = 0;
    std::optional<QCollatorSortKey> Text;
};

template <typename T> int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKeys(const TSortKey& a, const TSortKey& b)
{
    if (int r = Sign(a.Class, b.Class))
        return r;
    if (int r = Sign(a.First, b.First))
        return r;
    if (int r = Sign(a.Second, b.Second))
        return r;
    if (a.Text && b.Text)
        return a.Text->compare(*b.Text);
    return 0;
}

// Texts compare in the user's locale, ignoring case. The C locale has no
// collation of its own (and its sort keys would not ignore case): it uses
// the language-neutral order of English.
QCollator& TextCollator()
{
    static QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

TSortKey TextKey(const QString& text, int cls = 0)
{
    TSortKey key;
    key.Class = cls;
    key.Text = TextCollator().sortKey(text);
    return key;
}

// "n" or "n/m" as whole integers; empty is -1 / -1.
bool ParseNumberAndTotal(const QString& text, qint64& number, qint64& total)
{
    number = total = -1;
    if (text.isEmpty())
        return true;
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    bool ok = false;
    number = (slash < 0 ? text : text.left(slash)).toInt(&ok);
    if (!ok)
        return false;
    if (slash >= 0) {
        total = text.mid(slash + 1).toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

TSortKey NumberKey(const QString& text)
{
    TSortKey key;
    if (ParseNumberAndTotal(text, key.First, key.Second))
        return key;
    return TextKey(text, 1);
}

QString FirstFrameText(const TEintragdaten& entry, const QString& id)
{
    const TID3Frame* frame = FindFrame(entry.Frames, id);
    return frame ? GetFirstText(frame->Body()) : QString();
}

QString ColumnId(int column)
{
    return QString::fromLatin1(ColumnCatalogue[static_cast<size_t>(column)].ID);
}

// The key of an entry; padded texts are padded to padTo characters.
TSortKey MakeKey(const TEintragdaten& entry, int column, TKeyKind kind, qsizetype padTo)
{
    TSortKey key;
    switch (kind) {
    case TKeyKind::Size:
        key.First = entry.Size;
        return key;
    case TKeyKind::Date:
        key.First = entry.LastWriteNs;
        return key;
    case TKeyKind::Length:
        key.First = entry.Length;
        return key;
    case TKeyKind::Number:
        return NumberKey(GetColumnText(entry, ColumnId(column)));
    case TKeyKind::TimeStamp:
        return TextKey(FirstFrameText(entry, ColumnId(column)));
    case TKeyKind::Text:
        return TextKey(GetColumnText(entry, ColumnId(column)));
    case TKeyKind::PaddedText:
        return TextKey(GetColumnText(entry, ColumnId(column)).rightJustified(padTo, QLatin1Char('0')));
    }
    return key;
}

// Keys of every entry for one column, padding to the longest text of the
// column so that the padded comparison is the same for every pair.
std::vector<TSortKey> ColumnKeys(const TEintragdatenList& entries, int column)
{
    std::vector<TSortKey> keys;
    keys.reserve(entries.size());
    const TKeyKind kind = KindOf(column);
    if (kind != TKeyKind::PaddedText) {
        for (const auto& e : entries)
            keys.push_back(MakeKey(*e, column, kind, 0));
        return keys;
    }
    const QString id = ColumnId(column);
    std::vector<QString> texts;
    texts.reserve(entries.size());
    qsizetype longest = 0;
    for (const auto& e : entries) {
        texts.push_back(GetColumnText(*e, id));
        longest = std::max(longest, texts.back().size());
    }
    for (const QString& t : texts)
        keys.push_back(TextKey(t.rightJustified(longest, QLatin1Char('0'))));
    return keys;
}

// The sort's comparison: the sort column's keys up front, the tie columns'
// keys computed when a tie first needs them.
class TEntryOrder {
public:
    TEntryOrder(const TEintragdatenList& entries, int sortColumn, int direction, const QList<int>& tieColumns)
        : m_entries(entries), m_descending(direction < 0)
    {
        if (ValidColumn(sortColumn))
            m_columns.push_back(sortColumn);
        for (int c : tieColumns)
            if (ValidColumn(c) && c != sortColumn && std::find(m_columns.begin(), m_columns.end(), c) == m_columns.end())
                m_columns.push_back(c);
        m_keys.resize(m_columns.size());
    }

    bool Less(size_t a, size_t b)
    {
        if (a == b)
            return false;
        int r = 0;
        for (size_t i = 0; i < m_columns.size() && r == 0; ++i) {
            const std::vector<TSortKey>& keys = Keys(i);
            r = CompareKeys(keys[a], keys[b]);
        }
        return m_descending ? r > 0 : r < 0;
    }

private:
    const std::vector<TSortKey>& Keys(size_t i)
    {
        if (!m_keys[i])
            m_keys[i] = ColumnKeys(m_entries, m_columns[i]);
        return *m_keys[i];
    }

    const TEintragdatenList& m_entries;
    bool m_descending;
    std::vector<int> m_columns;
    std::vector<std::optional<std::vector<TSortKey>>> m_keys;
};

}

int CompareEntriesByColumn(const TEintragdaten& a, const TEintragdaten& b, int column)
{
    if (!ValidColumn(column))
        return 0;
    const TKeyKind kind = KindOf(column);
    qsizetype padTo = 0;
    if (kind == TKeyKind::PaddedText) {
        const QString id = ColumnId(column);
        padTo = std::max(GetColumnText(a, id).size(), GetColumnText(b, id).size());
    }
    return CompareKeys(MakeKey(a, column, kind, padTo), MakeKey(b, column, kind, padTo));
}

void SortEntries(TEintragdatenList& entries, int sortColumn, int direction, const QList<int>& tieColumns)
{
    if (entries.size() < 2)
        return;
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    TEntryOrder less(entries, sortColumn, direction, tieColumns);
    std::stable_sort(order.begin(), order.end(), [&less](size_t a, size_t b) { return less.Less(a, b); });
    TEintragdatenList sorted;
    sorted.reserve(entries.size());
    for (size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}
