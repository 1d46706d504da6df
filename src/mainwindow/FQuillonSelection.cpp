// The list's selection and the set of edited entries.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/InputPanel.h"

#include "localisation/MultiLanguage.h"

#include <QApplication>
#include <QItemSelectionModel>

namespace {

// Shows the wait cursor while it exists.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}

void TFQuillon::LVFilesSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    const auto mark = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            const int last = std::min(range.bottom(), static_cast<int>(m_entries.size()) - 1);
            for (int row = std::max(range.top(), 0); row <= last; ++row) {
                TEintragdaten& entry = *m_entries[static_cast<size_t>(row)];
                entry.Selected = on && !entry.ReadFailed;
            }
        }
    };
    mark(deselected, false);
    mark(selected, true);
    // While a folder loads, the list is being rebuilt: its selection is taken
    // over when the load ends.
    if (!m_selectionGuard && !m_loading)
        SelectionChanged();
}

void TFQuillon::SelectionChanged()
{
    if (m_selectionGuard)
        return;
    CommitEdits();
    TakeOverSelection();
    UpdateSelectionState();
}

void TFQuillon::TakeOverSelection()
{
    for (const auto& entry : m_entries)
        entry->Edited = entry->Selected && !entry->ReadFailed;
}

void TFQuillon::SelectRows(const std::function<bool(const TEintragdaten&)>& selectWhen)
{
    QItemSelection selection;
    const int rows = std::min(m_listModel->RowCount(), static_cast<int>(m_entries.size()));
    const int lastColumn = m_listModel->columnCount() - 1;
    for (int row = 0; row < rows;) {
        if (!selectWhen(*m_entries[static_cast<size_t>(row)])) {
            ++row;
            continue;
        }
        const int first = row;
        while (row < rows && selectWhen(*m_entries[static_cast<size_t>(row)]))
            ++row;
        selection.select(m_listModel->index(first, 0), m_listModel->index(row - 1, lastColumn));
    }
    LVFiles->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TFQuillon::UpdateSelectionState()
{
    m_firstEditedIndex = -1;
    m_editedCount = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i]->Edited)
            continue;
        if (m_firstEditedIndex < 0)
            m_firstEditedIndex = static_cast<int>(i);
        ++m_editedCount;
    }
    UpdateStatusAndFileInfo();
    if (m_inputPanel)
        m_inputPanel->ShowSelection();
    UpdateActions();
}

void TFQuillon::UpdateStatusAndFileInfo()
{
    if (m_editedCount == 0)
        SetStatusText(0, Lang("StatusBarSelNothing"));
    else if (m_editedCount == 1)
        SetStatusText(1, Lang("StatusBarSelOne"));
    else
        SetStatusText(2, LangFmt("StatusBarSelMulti", {m_editedCount}));
}

void TFQuillon::CommitEdits()
{
    if (!m_inputPanel)
        return;
    const TWaitCursor wait;
    m_inputPanel->CommitEdits();
}

void TFQuillon::SetTemplateEntry(TEintragdaten* entry)
{
    m_templateEntry = entry;
    m_listModel->SetTemplateEntry(entry);
}
