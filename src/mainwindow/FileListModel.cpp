#include "mainwindow/FileListModel.h"

#include "mainwindow/EntryState.h"
#include "common/ColumnCatalogue.h"

#include "localisation/MultiLanguage.h"
#include "tagengine/DisplayTexts.h"

#include <cstring>

QString GetCellText(const TEintragdaten& entry, int catalogueIndex)
{
    if (catalogueIndex < 0 || catalogueIndex >= ColumnCount)
        return QString();
    return GetColumnText(entry, QString::fromLatin1(ColumnCatalogue[static_cast<size_t>(catalogueIndex)].ID));
}

QString NameNotValidUTF8Mark()
{
    return QStringLiteral(" (") + Lang("NameNotValidUTF8") + QLatin1Char(')');
}

QString GetShownCellText(const TEintragdaten& entry, int catalogueIndex)
{
    QString text = GetCellText(entry, catalogueIndex);
    if ((entry.NativeName.isEmpty() && entry.NativeFolder.isEmpty()) || text.isEmpty())
        return text;
    const char* id = ColumnCatalogue[static_cast<size_t>(catalogueIndex)].ID;
    if ((entry.HasRawName() && std::strcmp(id, "*FIN") == 0)
        || (!entry.NativeFolder.isEmpty() && std::strcmp(id, "*DIR") == 0))
        text += NameNotValidUTF8Mark();
    return text;
}

TRowImage RowImageOf(const TEintragdaten& entry, const TEintragdaten* templateEntry)
{
    if (entry.ReadFailed)
        return riReadFailed;
    if (&entry == templateEntry)
        return riTemplate;
    // A tag that is not read or not read whole is never replaced.
    if (EntryProblem(entry) != TTagError::None)
        return riUnsupported;
    return riNormal;
}

TFileListModel::TFileListModel(const TEintragdatenList& entries, QObject* parent)
    : QAbstractTableModel(parent), m_entries(entries)
{
}

void TFileListModel::SetRowCount(int count)
{
    beginResetModel();
    m_rowCount = std::max(0, count);
    endResetModel();
}

void TFileListModel::SetColumns(const QList<int>& catalogueIndexes)
{
    beginResetModel();
    m_columns = catalogueIndexes;
    endResetModel();
}

void TFileListModel::SetSearch(const TMP3SearchConfig* config, const QFont& bold)
{
    m_search = config;
    m_bold = bold;
}

int TFileListModel::ColumnTag(int column) const
{
    if (column < 1 || column > m_columns.size())
        return -1;
    return m_columns.at(column - 1);
}

void TFileListModel::RefreshRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, m_rowCount - 1);
    if (first > last)
        return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void TFileListModel::RefreshHeader()
{
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int TFileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TFileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1 + static_cast<int>(m_columns.size());
}

const TEintragdaten* TFileListModel::EntryAt(int row) const
{
    if (row < 0 || row >= m_rowCount || static_cast<size_t>(row) >= m_entries.size())
        return nullptr;
    return m_entries[static_cast<size_t>(row)].get();
}

Qt::Alignment TFileListModel::AlignmentOf(int column) const
{
    const int tag = ColumnTag(column);
    const bool right = tag >= 0 && tag < ColumnCount && ColumnCatalogue[static_cast<size_t>(tag)].RightAligned;
    return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const
{
    const TEintragdaten* entry = EntryAt(index.row());
    if (!entry)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return QVariant();
        return GetShownCellText(*entry, ColumnTag(index.column()));
    case Qt::DecorationRole: {
        if (index.column() != 0)
            return QVariant();
        const int image = RowImageOf(*entry, m_template);
        return image < m_images.size() ? QVariant(m_images.at(image)) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return QVariant(AlignmentOf(index.column()));
    case Qt::ToolTipRole: {
        // The whole row tells why its file cannot be read or changed.
        const QString tip = EntryStateToolTip(*entry);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::FontRole:
        if (m_search && entry->MatchesSearch(*m_search))
            return m_bold;
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    const int tag = ColumnTag(section);
    if (role == Qt::DisplayRole)
        return tag >= 0 && tag < ColumnCount ? ColumnCaption(ColumnCatalogue[static_cast<size_t>(tag)]) : QString();
    if (role == Qt::TextAlignmentRole)
        return QVariant(AlignmentOf(section));
    return QVariant();
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex& index) const
{
    if (!EntryAt(index.row()))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
