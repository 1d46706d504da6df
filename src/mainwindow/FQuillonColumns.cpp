// The file list's columns, its sorting and its type-ahead search.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "mainwindow/EntrySort.h"
#include "mainwindow/FileListModel.h"
#include "dialogs/FormSpalten.h"
#include "common/ColumnCatalogue.h"

#include <QItemSelectionModel>
#include <QMenu>

void TFQuillon::SetColumns(const TStringArray& codes, const TWordArray& widths)
{
    QList<int> tags;
    QList<int> tagWidths;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const int tag = FindColumnIndex(codes.at(i));
        if (tag < 0)
            continue;
        tags.append(tag);
        tagWidths.append(i < widths.size() ? widths.at(i) : ColumnCatalogue[static_cast<size_t>(tag)].DefaultWidth);
    }
    const int topRow = LVFiles->TopRow();
    const int currentRow = LVFiles->selectionModel()->currentIndex().row();

    LVFiles->setUpdatesEnabled(false);
    m_listModel->SetColumns(tags);
    LVFiles->ResetColumnOrder();
    QHeaderView* header = LVFiles->Header();
    header->setMinimumSectionSize(1);
    header->resizeSection(0, TFileListModel::IconColumnWidth);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    for (qsizetype i = 0; i < tagWidths.size(); ++i)
        header->resizeSection(static_cast<int>(i) + 1, tagWidths.at(i));
    UpdateSortIndicators();
    // The columns were rebuilt: the rows keep their selection and place.
    const bool guard = m_selectionGuard;
    m_selectionGuard = true;
    SelectRows([](const TEintragdaten& e) { return e.Selected != 0; });
    if (currentRow >= 0 && currentRow < m_listModel->RowCount())
        LVFiles->selectionModel()->setCurrentIndex(m_listModel->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    m_selectionGuard = guard;
    if (topRow >= 0 && topRow < m_listModel->RowCount())
        LVFiles->scrollTo(m_listModel->index(topRow, 0), QAbstractItemView::PositionAtTop);
    LVFiles->setUpdatesEnabled(true);
}

void TFQuillon::GetColumns(TStringArray& codes, TWordArray& widths) const
{
    codes.clear();
    widths.clear();
    for (int column : LVFiles->ColumnOrder()) {
        const int tag = m_listModel->ColumnTag(column);
        if (tag < 0 || tag >= ColumnCount)
            continue;
        codes.append(QString::fromLatin1(ColumnCatalogue[static_cast<size_t>(tag)].ID));
        widths.append(static_cast<quint16>(std::clamp(LVFiles->Header()->sectionSize(column), 0, 0xFFFF)));
    }
}

QList<int> TFQuillon::ShownColumnsInOrder() const
{
    QList<int> tags;
    for (int column : LVFiles->ColumnOrder()) {
        const int tag = m_listModel->ColumnTag(column);
        if (tag >= 0)
            tags.append(tag);
    }
    return tags;
}

void TFQuillon::UpdateSortIndicators()
{
    for (int column = 0; column < m_listModel->columnCount(); ++column) {
        const bool sorted = m_listModel->ColumnTag(column) == m_sortColumn;
        const int image = m_sortDirection >= 0 ? TMyHeaderView::SortAscendingImage : TMyHeaderView::SortDescendingImage;
        LVFiles->SetColumnImage(column, sorted ? image : -1);
    }
}

void TFQuillon::SortFileList()
{
    UpdateSortIndicators();
    SortEntries(m_entries, m_sortColumn, m_sortDirection, ShownColumnsInOrder());
}

void TFQuillon::SortByColumn(int catalogueIndex)
{
    if (m_loading)
        return; // the load sorts when it is done
    if (catalogueIndex == m_sortColumn) {
        m_sortDirection = -m_sortDirection;
    } else {
        m_sortColumn = catalogueIndex;
        m_sortDirection = 1;
    }
    const QModelIndex current = LVFiles->selectionModel()->currentIndex();
    const TEintragdaten* focused =
        current.isValid() && static_cast<size_t>(current.row()) < m_entries.size()
            ? m_entries[static_cast<size_t>(current.row())].get()
            : nullptr;
    SortFileList();
    SyncListSelection(true, focused);
    RefreshVisibleRows();
}

void TFQuillon::LVFilesColumnClick(int column)
{
    const int tag = m_listModel->ColumnTag(column);
    if (tag >= 0)
        SortByColumn(tag);
}

void TFQuillon::LVFilesColumnRightClick(const QPoint& globalPos)
{
    PopSpalten->popup(globalPos);
}

void TFQuillon::LVFilesColumnDragged()
{
    TStringArray codes;
    TWordArray widths;
    GetColumns(codes, widths);
    SetColumns(codes, widths);
}

int TFQuillon::FindRowByPrefix(const QString& text, int startRow, bool wrap) const
{
    const int rows = std::min(m_listModel->RowCount(), static_cast<int>(m_entries.size()));
    if (rows == 0 || startRow < 0 || startRow >= rows)
        return -1;
    const int tag = ShownColumnsInOrder().value(0, 0);
    const int tests = wrap ? rows : rows - startRow;
    for (int i = 0; i < tests; ++i) {
        const int row = (startRow + i) % rows;
        if (::GetCellText(*m_entries[static_cast<size_t>(row)], tag).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void TFQuillon::ActSpaltenExecute()
{
    TStringArray codes;
    TWordArray widths;
    GetColumns(codes, widths);
    TBoolArray ticks;
    TFormSpalten chooser(this);
    if (chooser.Execute(QString(), true, false, codes, widths, ticks))
        SetColumns(codes, widths);
}
