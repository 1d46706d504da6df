// The window's key preview (Esc, Enter and Del for its own controls) and
// stepping to the next or previous file.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "controls/MyThemedPanel.h"
#include "mainwindow/EventHook.h"
#include "mainwindow/FileListModel.h"
#include "controls/Guarded.h"

#include "platform/Prompt.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

constexpr int EscapeChar = 27;
constexpr int EnterChar = 13;

// The character a key types as the preview sees it: Esc, Enter (with Shift
// at most), or 0 for any other key.
int TypedChar(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape)
        return EscapeChar;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return enter && others == Qt::NoModifier ? EnterChar : 0;
}

// An open in-place editor of a list or tree (renaming a folder): its Enter
// and Esc finish or cancel the edit.
bool IsItemEditor(const QWidget* widget)
{
    for (const QWidget* above = widget->parentWidget(); above; above = above->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(above))
            return true;
    return false;
}

bool IsMultiLineText(const QWidget* widget)
{
    return qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

}

void TFQuillon::BindKeys()
{
    // The preview sees every key before the control it is meant for, as long
    // as that control lies in this window; pop-ups (menus, drop-down lists,
    // completers) and dialogs are windows of their own and keep their keys.
    m_keyPreview = new TEventHook(this, [this](QObject* watched, QEvent* event) {
        return event->type() == QEvent::KeyPress && KeyPreview(watched, static_cast<QKeyEvent&>(*event));
    });
    qApp->installEventFilter(m_keyPreview);
    BindAction(QStringLiteral("ActNextMP3"), [this] { ActNextMP3Execute(1); }, [this] { return !m_entries.empty(); });
    BindAction(QStringLiteral("ActPrevMP3"), [this] { ActNextMP3Execute(-1); },
               [this] { return !m_entries.empty(); });
}

bool TFQuillon::KeyPreview(QObject* watched, const QKeyEvent& key)
{
    // Only the first delivery, to the focused control; a key a control let
    // pass on to its parents has been seen already.
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control || control->window() != this || control != focusWidget() || QApplication::activePopupWidget()
        || IsItemEditor(control))
        return false;
    bool used = false;
    RunGuarded(this, [&] {
        used = FormKeyDown(key.key(), key.modifiers());
        const int typed = TypedChar(key);
        if (!used && typed != 0)
            used = FormKeyPress(typed);
    });
    if (used)
        UpdateActions();
    return used;
}

bool TFQuillon::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (key != Qt::Key_Delete || focusWidget() != LVFiles || !LVFiles->selectionModel()->hasSelection())
        return false;
    // As the delete command does: Shift deletes for good.
    DeleteSelection(shift & Qt::ShiftModifier);
    return true;
}

bool TFQuillon::FormKeyPress(int key)
{
    const auto run = [this](const char* name) { Action(QString::fromLatin1(name))->trigger(); };
    const bool searchFloats = IsSearchPanelShown() && !IsSearchPanelDocked();
    if (key == EscapeChar) {
        bool used = false;
        if (m_folderBarState == TPanelState::Floating) {
            run("ActBrowserleisteDropDown");
            used = true;
        } else if (m_inputPanelState == TPanelState::Floating) {
            run("ActEingabeFeldDropDown");
            used = true;
        }
        if (searchFloats) {
            run("ActShowSearchDropDown");
            used = true;
        }
        return used;
    }
    if (key != EnterChar)
        return false;
    QWidget* focused = focusWidget();
    if (focused && PanSuchen->isAncestorOf(focused)) {
        if (searchFloats)
            run("ActShowSearchDropDown");
        run("ActSearch");
        return true;
    }
    if (!focused || focused == LVFiles || IsMultiLineText(focused))
        return false;
    // From field to field, as Tab goes.
    focusNextPrevChild(true);
    return true;
}

void TFQuillon::ActNextMP3Execute(int step)
{
    const int count = static_cast<int>(m_entries.size());
    if (count == 0) {
        CurrentPrompt()->Beep();
        return;
    }
    const int first = LVFiles->FirstSelectedRow();
    int target = first < 0 ? (step < 0 ? count - 1 : 0) : first + step;
    if (target >= count)
        target = 0;
    else if (target < 0)
        target = count - 1;
    m_selectionGuard = true;
    const QModelIndex index = m_listModel->index(target, 0);
    LVFiles->selectionModel()->setCurrentIndex(index,
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    LVFiles->scrollTo(index, QAbstractItemView::EnsureVisible);
    m_selectionGuard = false;
    SelectionChanged();
}
