// The list's selection and the set of edited entries.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "mainwindow/FileListModel.h"

#include "platform/Prompt.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

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

void TFQuillon::SetTemplateEntry(TEintragdaten* entry)
{
    m_templateEntry = entry;
    m_listModel->SetTemplateEntry(entry);
}

bool TFQuillon::EditSelectAllUpdate() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == LVFiles || qobject_cast<const QLineEdit*>(focus)
                     || qobject_cast<const QTextEdit*>(focus) || qobject_cast<const QPlainTextEdit*>(focus));
}

void TFQuillon::EditSelectAllExecute()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus == LVFiles) {
        m_selectionGuard = true;
        LVFiles->selectAll();
        m_selectionGuard = false;
        SelectionChanged();
    } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        line->selectAll();
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        text->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        plain->selectAll();
    } else {
        CurrentPrompt()->Beep();
    }
}
