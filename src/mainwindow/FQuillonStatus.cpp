// The status bar, the title bar above the list and the list's refresh.
#include "mainwindow/FQuillon.h"

#include "localisation/ui/ComponentTranslation.h"

#include "controls/MyListView.h"
#include "mainwindow/FileListModel.h"
#include "controls/ImageLists.h"
#include "mainwindow/StatusPanel.h"

#include <QItemSelectionModel>
#include <QLabel>

void TFQuillon::SetStatusText(int icon, const QString& text)
{
    m_statusIcon = icon;
    m_statusText = text;
    StatusPanel0->SetStatus(ImageLists::StatusBarImage(icon), text);
}

void TFQuillon::UpdateTitleBarFolder(const QString& folder)
{
    labDir->setText(QStringLiteral(" \"") + folder + QStringLiteral("\" "));
    labMitUnterordnern->setVisible(m_includeSubfolders);
    labAbgebrochen->setVisible(false);
    LayoutTitleBar();
}

void TFQuillon::LayoutTitleBar()
{
    // The title bar's layout places the visible buttons and the labels; a
    // hidden button takes no room. The full folder shows as a tool tip.
    labDir->setToolTip(PlainToolTip(labDir->text()));
}

void TFQuillon::RefreshVisibleRows()
{
    if (m_listModel->RowCount() == 0)
        return;
    const int top = std::max(LVFiles->TopRow(), 0);
    m_listModel->RefreshRows(top, top + LVFiles->VisibleRowCount() + 1);
}

void TFQuillon::SyncListSelection(bool makeVisible, const TEintragdaten* focusEntry)
{
    const bool guard = m_selectionGuard;
    m_selectionGuard = true;
    LVFiles->setUpdatesEnabled(false);
    if (m_listModel->RowCount() != static_cast<int>(m_entries.size()))
        m_listModel->SetRowCount(static_cast<int>(m_entries.size()));
    SelectRows([](const TEintragdaten& e) { return e.Edited != 0; });
    int firstSelected = -1;
    int focusRow = -1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (firstSelected < 0 && m_entries[i]->Edited)
            firstSelected = static_cast<int>(i);
        if (m_entries[i].get() == focusEntry)
            focusRow = static_cast<int>(i);
    }
    if (makeVisible && firstSelected >= 0)
        LVFiles->scrollTo(m_listModel->index(firstSelected, 0));
    if (focusRow >= 0) {
        const QModelIndex focus = m_listModel->index(focusRow, 0);
        LVFiles->selectionModel()->setCurrentIndex(focus, QItemSelectionModel::NoUpdate);
        if (makeVisible)
            LVFiles->scrollTo(focus);
    }
    LVFiles->setUpdatesEnabled(true);
    m_selectionGuard = guard;
}
