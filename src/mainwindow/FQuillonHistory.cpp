// The back and forward history of visited folders, its pop-ups, and going up
// one folder.
#include "mainwindow/FQuillon.h"

#include "controls/Guarded.h"
#include "mainwindow/ShellTreeModel.h"

#include "platform/NativePath.h"
#include "platform/PathCompare.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTreeView>

namespace {

// Folders listed in each history pop-up.
constexpr int HistoryPopupSize = 5;

// The caption of a history entry: its last folder name; a root shows whole.
QString HistoryCaption(const QString& path)
{
    const QString clean = NormalPath(path);
    const QString name = clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
    return name.isEmpty() ? clean : name;
}

}

void TFQuillon::BindHistoryActions()
{
    BindAction(QStringLiteral("ActDirZurueck"), [this] { GoFolderHistory(-1); },
               [this] { return m_backHistory.size() >= 2; });
    BindAction(QStringLiteral("ActDirVor"), [this] { GoFolderHistory(1); },
               [this] { return !m_forwardHistory.isEmpty(); });
    BindAction(QStringLiteral("ActAufwaerts"), [this] { ActAufwaertsExecute(); },
               [this] { return ActAufwaertsUpdate(); });
    for (const char* name : {"PopDirZurueck", "PopDirVorwaerts"})
        if (QMenu* popup = PopupMenu(QString::fromLatin1(name)))
            connect(popup, &QMenu::aboutToShow, this,
                    [this, popup] { RunGuarded(this, [this, popup] { PopDirZurueckPopup(popup); }); });
    connect(ShellTreeModel, &TShellTreeModel::FolderGoing, this, [this](const QModelIndex& folder) {
        RunGuarded(this, [&] { TreeFolderGoing(folder); });
    });
}

void TFQuillon::TreeFolderGoing(const QModelIndex& folder)
{
    // Left to itself the tree would choose the folder's neighbour, an
    // unrelated folder; it goes up instead, as a refresh does, and the tree's
    // change loads that folder.
    for (QModelIndex node = ShellTreeView1->currentIndex(); node.isValid(); node = node.parent()) {
        if (node == folder) {
            ShellTreeView1->setCurrentIndex(folder.parent());
            return;
        }
    }
}

void TFQuillon::ShellTreeView1Change()
{
    if (m_folderBarState == TPanelState::Floating)
        SetFolderBarState(TPanelState::Hidden);
    RecordVisitedFolder(TreePath());
    LoadFolder(TreePath(), false);
}

void TFQuillon::RecordVisitedFolder(const QString& path)
{
    const bool navigating = !m_navigatingTo.isEmpty() && SamePath(m_navigatingTo, path);
    m_navigatingTo.clear();
    if (!m_backHistory.isEmpty() && SamePath(m_backHistory.last(), path))
        return;
    if (path.isEmpty())
        return;
    m_backHistory.append(path);
    if (!navigating)
        m_forwardHistory.clear();
    UpdateActions();
}

void TFQuillon::GoFolderHistory(int steps)
{
    const auto appendUnlessLast = [](QStringList& list, const QString& path) {
        if (list.isEmpty() || !SamePath(list.last(), path))
            list.append(path);
    };
    const auto exists = [](const QString& path) { return !path.isEmpty() && IsFolderPath(path); };
    QString target;
    if (steps > 0) {
        if (m_forwardHistory.size() < steps) {
            CurrentPrompt()->Beep();
            return;
        }
        const qsizetype targetIndex = m_forwardHistory.size() - steps;
        if (!exists(m_forwardHistory.at(targetIndex))) {
            // A folder that went away: forget it; the folder shown stays.
            m_forwardHistory.removeAt(targetIndex);
            CurrentPrompt()->Beep();
            UpdateActions();
            return;
        }
        for (int i = 0; i < steps - 1; ++i)
            appendUnlessLast(m_backHistory, m_forwardHistory.takeLast());
        target = m_forwardHistory.takeLast();
    } else if (steps < 0) {
        const int back = -steps;
        if (back >= m_backHistory.size()) {
            CurrentPrompt()->Beep();
            return;
        }
        const qsizetype targetIndex = m_backHistory.size() - 1 - back;
        if (!exists(m_backHistory.at(targetIndex))) {
            m_backHistory.removeAt(targetIndex);
            CurrentPrompt()->Beep();
            UpdateActions();
            return;
        }
        for (int i = 0; i < back; ++i)
            appendUnlessLast(m_forwardHistory, m_backHistory.takeLast());
        target = m_backHistory.last();
    } else {
        return;
    }
    UpdateActions();
    if (SamePath(target, TreePath())) {
        // The tree is there already; no change of it will come.
        RecordVisitedFolder(target);
        return;
    }
    // The tree's change arrives later; the folder is then recorded without
    // clearing the forward history.
    m_navigatingTo = target;
    SetTreePath(target);
}

void TFQuillon::PopDirZurueckPopup(QMenu* popup)
{
    const bool back = popup == PopupMenu(QStringLiteral("PopDirZurueck"));
    const QStringList& source = back ? m_backHistory : m_forwardHistory;
    const int skipped = back ? 1 : 0; // the back history's last is the folder shown
    const int sign = back ? -1 : 1;
    popup->clear();
    for (int k = 0; k < HistoryPopupSize && source.size() >= k + 1 + skipped; ++k) {
        const QString& path = source.at(source.size() - 1 - k - skipped);
        QAction* item = popup->addAction(HistoryCaption(path));
        item->setToolTip(path);
        const int steps = (k + 1) * sign;
        item->setData(steps);
        connect(item, &QAction::triggered, this, [this, steps] {
            RunGuarded(this, [this, steps] { GoFolderHistory(steps); });
            UpdateActions();
        });
    }
}

bool TFQuillon::ActAufwaertsUpdate() const
{
    const QModelIndex current = ShellTreeView1->currentIndex();
    return current.isValid() && current.parent().isValid();
}

void TFQuillon::ActAufwaertsExecute()
{
    if (!ActAufwaertsUpdate()) {
        CurrentPrompt()->Beep();
        return;
    }
    const QModelIndex parent = ShellTreeView1->currentIndex().parent();
    ShellTreeView1->setCurrentIndex(parent);
    ShellTreeView1->scrollTo(parent);
}
