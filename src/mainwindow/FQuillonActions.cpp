// The main window's actions, pop-up menus and the enabling of commands.
#include "mainwindow/FQuillon.h"

#include "controls/Accelerators.h"
#include "controls/IconTheme.h"
#include "localisation/ui/ComponentTranslation.h"

#include "controls/FileMimeData.h"
#include "controls/MyListView.h"
#include "mainwindow/ActionTable.h"
#include "controls/Guarded.h"
#include "controls/ImageLists.h"

#include "localisation/MultiLanguage.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>

namespace {

// The picture of a command: the desktop theme's icon when there is one, else
// the style's standard picture, else our own drawing, else a letter of its
// caption; its disabled look is always clearly greyed. Arrows and play are
// always our own: common themes draw them light grey, as if disabled.
struct TActionImage {
    const char* Action;
    const char* ThemeIcon;
    int StandardPixmap; // QStyle::StandardPixmap, -1 for none
};

// clang-format off
const TActionImage ActionImages[] = {
    {"ActUnterordner", "folder", QStyle::SP_DirIcon},
    {"ActAktuallisieren", "view-refresh", QStyle::SP_BrowserReload},
    {"ActUndo", "edit-undo", -1},
    {"EditCut1", "edit-cut", -1},
    {"EditCopy1", "edit-copy", -1},
    {"EditPaste1", "edit-paste", -1},
    {"EditSelectAll1", "edit-select-all", -1},
    {"ActDeleteFile", "edit-delete", QStyle::SP_TrashIcon},
    {"ActHilfe", "help-contents", QStyle::SP_DialogHelpButton},
    {"ActInfo", "help-about", QStyle::SP_MessageBoxInformation},
    {"ActExport", "document-save-as", QStyle::SP_DialogSaveButton},
    {"ActFileProperties", "document-properties", QStyle::SP_FileDialogInfoView},
    {"ActAddFrame", "list-add", -1},
    {"ActAddToFavorites", "bookmark-new", -1},
    {"ActOrganizeFavorites", "user-bookmarks", -1},
    {"ActHomepage", "go-home", QStyle::SP_DirHomeIcon},
    {"ActUpdate", "system-software-update", -1},
    {"ActBeenden", "application-exit", QStyle::SP_DialogCloseButton},
    {"ActBrowserleiste", "folder-open", QStyle::SP_DirOpenIcon},
    {"ActShowSearch", "edit-find", QStyle::SP_FileDialogContentsView},
    {"ActSearch", "edit-find", QStyle::SP_FileDialogContentsView},
    {"ActShowSearchKreuz", "window-close", QStyle::SP_TitleBarCloseButton},
    {"ActShowSearchPin", "view-restore", QStyle::SP_TitleBarNormalButton},
    {"ActHomepage", "internet-web-browser", QStyle::SP_DriveNetIcon},
    {"ActUpdate", "system-software-update", QStyle::SP_BrowserReload},
    {"ActFileProperties", "document-properties", QStyle::SP_FileDialogInfoView},
    {"ActReplaceInFrames", "edit-find-replace", -1},
    {"ActID3FromCDDB", "media-optical", QStyle::SP_DriveCDIcon},
    {"ActAlleFelderLoeschen", "edit-clear", QStyle::SP_DialogResetButton},
    {"ActEinstellungen", "preferences-system", QStyle::SP_FileDialogDetailedView},
    {"ActCopyFileTo", "edit-copy", -1},
    {"ActMoveFileTo", "go-jump", QStyle::SP_FileLinkIcon},
};
// clang-format on

QIcon PictureOf(const QString& action, const QString& caption, QStyle* style)
{
    for (const TActionImage& image : ActionImages) {
        if (action != QLatin1String(image.Action))
            continue;
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(image.ThemeIcon));
        if (icon.isNull() && image.StandardPixmap >= 0)
            icon = style->standardIcon(static_cast<QStyle::StandardPixmap>(image.StandardPixmap));
        if (!icon.isNull())
            return icon;
        break;
    }
    QIcon own = ImageLists::CommandIcon(action);
    if (!own.isNull())
        return own;
    const QString letters = PlainCaption(caption);
    return ImageLists::LetterIcon(letters.isEmpty() ? QLatin1Char('?') : letters.at(0));
}

QIcon ImageOf(const QString& action, const QString& caption, QStyle* style)
{
    return CommandPicture(PictureOf(action, caption, style));
}

QString Translated(const char* text)
{
    QString result = QString::fromUtf8(text);
    LangStrings.TranslateText(result);
    return result;
}

// The text control that has the focus, or nullptr.
QWidget* FocusedTextControl()
{
    QWidget* focus = QApplication::focusWidget();
    // The typing field of an editable combo box or a spin box.
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        focus = spin->findChild<QLineEdit*>();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus))
        return focus;
    return nullptr;
}

bool IsReadOnlyText(QWidget* control)
{
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(control))
        return text->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        return plain->isReadOnly();
    return true;
}

// Runs the same editing command on whichever kind of text control has the
// focus.
template <typename Command> void OnFocusedText(Command command)
{
    QWidget* control = FocusedTextControl();
    if (auto* line = qobject_cast<QLineEdit*>(control))
        command(*line);
    else if (auto* text = qobject_cast<QTextEdit*>(control))
        command(*text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        command(*plain);
}

}

void TFQuillon::CreateActions()
{
    m_actions.reserve(MainWindowActions.size());
    for (const TActionDef& def : MainWindowActions) {
        auto* action = new QAction(QString::fromUtf8(def.Caption), this);
        action->setObjectName(QString::fromLatin1(def.Name));
        if (def.Shortcut)
            action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(def.Shortcut), QKeySequence::PortableText));
        action->setCheckable(def.Checkable);
        // In a menu a command's picture takes the place of its check mark.
        action->setIconVisibleInMenu(!def.Checkable);
        action->setData(def.Tag);
        action->setEnabled(false);
        addAction(action);
        m_actionIndex.insert(action->objectName(), m_actions.size());
        m_actions.push_back(TBoundAction{action, &def, false, {}, {}});
    }
}

void TFQuillon::CreatePopupMenus()
{
    const auto newPopup = [this](const char* name, std::initializer_list<const char*> items) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        for (const char* item : items) {
            if (QLatin1String(item) == QLatin1String("-"))
                menu->addSeparator();
            else if (QAction* action = Action(QString::fromLatin1(item)))
                menu->addAction(action);
        }
        m_popups.push_back(menu);
        return menu;
    };
    PopFiles = newPopup("PopFiles", {"ActPlay", "-", "ActRenameFile", "ActCopyFileTo", "ActMoveFileTo",
                                     "ActDeleteFile", "-", "ActFileProperties"});
    PopSpalten = newPopup("PopSpalten", {"ActSpalten"});
    PopToolbar = newPopup("PopToolbar", {"ActSymbolleisteAnpassen"});
    newPopup("PopDirZurueck", {});
    newPopup("PopDirVorwaerts", {});
    newPopup("PopFilenamePresets", {});
    newPopup("PopGrossKlein", {"ActGrossKleinAuto", "ActGrossKleinOnlyFirst", "-", "ActGrossKleinAllesGross",
                               "ActGrossKleinAllesKlein", "-", "ActGrossKleinDateiname"});
    // The frame inputs' menu; the commands that do not apply to the field
    // that has the focus are hidden.
    newPopup("PopFrameEdit", {"ActUndo", "-", "EditCut1", "EditCopy1", "EditPaste1", "-", "ActFeldUebernehmen",
                              "ActFrameReadOnly", "-",
                              "ActTXXXChangeDes", "ActWXXXChangeDes", "ActCommChangeDesLang", "ActDateTimeGenauer",
                              "ActDateTimeUngenauer", "ActDateSetNow", "ActDateFromFileDate", "ActFileDateFromDate",
                              "ActRunURL", "ActKillUnknownData", "-", "ActAddFrame"});
    newPopup("PopCopyFileTo", {"ActCopyHistory1", "ActCopyHistory2", "ActCopyHistory3", "ActCopyHistory4", "-",
                               "ActCopyFileToSelect"});
    newPopup("PopMoveFileTo", {"ActMoveHistory1", "ActMoveHistory2", "ActMoveHistory3", "ActMoveHistory4", "-",
                               "ActMoveFileToSelect"});
    connect(ToolBar1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopToolbar->popup(ToolBar1->mapToGlobal(pos)); });
}

QAction* TFQuillon::Action(const QString& name) const
{
    const auto it = m_actionIndex.constFind(name);
    return it == m_actionIndex.constEnd() ? nullptr : m_actions[*it].Action;
}

QMenu* TFQuillon::PopupMenu(const QString& name) const
{
    for (QMenu* menu : m_popups)
        if (menu->objectName() == name)
            return menu;
    return nullptr;
}

void TFQuillon::TranslateActions()
{
    for (const TBoundAction& bound : m_actions) {
        const TActionDef& def = *bound.Def;
        bound.Action->setText(Translated(def.Caption));
        const QString hint = def.Hint ? Translated(def.Hint) : QString();
        bound.Action->setToolTip(CommandToolTip(bound.Action->text(), hint));
        bound.Action->setStatusTip(hint);
        bound.Action->setIcon(ImageOf(bound.Action->objectName(), bound.Action->text(), style()));
    }
}

void TFQuillon::Connect(QAction* action, std::function<void()> handler)
{
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
        RunGuarded(this, handler);
        UpdateActions();
    });
}

void TFQuillon::BindAction(const QString& name, std::function<void()> execute, std::function<bool()> enabledWhen,
                           std::function<bool()> checkedWhen)
{
    const auto it = m_actionIndex.constFind(name);
    if (it == m_actionIndex.constEnd())
        return;
    TBoundAction& bound = m_actions[*it];
    bound.Bound = true;
    bound.EnabledWhen = std::move(enabledWhen);
    bound.CheckedWhen = std::move(checkedWhen);
    if (execute)
        Connect(bound.Action, std::move(execute));
    UpdateActions();
}

void TFQuillon::UpdateActions()
{
    for (const TBoundAction& bound : m_actions) {
        const bool idleOnly = bound.Def->Use == TActionUse::Idle;
        const bool enabled =
            bound.Bound && !(m_loading && idleOnly) && (!bound.EnabledWhen || bound.EnabledWhen());
        // A hidden action cannot be enabled: it is shown first.
        if (bound.HideWhenDisabled)
            bound.Action->setVisible(enabled);
        bound.Action->setEnabled(enabled);
        if (bound.CheckedWhen)
            bound.Action->setChecked(bound.CheckedWhen());
    }
    SetInputsEnabled(!m_loading);
}

void TFQuillon::HideWhenDisabled(const QString& name)
{
    const auto it = m_actionIndex.constFind(name);
    if (it == m_actionIndex.constEnd())
        return;
    m_actions[*it].HideWhenDisabled = true;
    UpdateActions();
}

void TFQuillon::BindOwnActions()
{
    // Items that only carry a caption, a submenu or a pop-up.
    for (const char* name : {"ActMenuFile", "ActMenuEdit", "ActMenuExtras", "ActMenuField", "ActMenuView",
                             "ActMenuHelp", "ActWechselnZu", "ActFavorites", "ActEingabefeld"})
        BindAction(QString::fromLatin1(name), nullptr);
    BindAction(QStringLiteral("ActBeenden"), [this] { ActBeendenExecute(); });
    BindAction(QStringLiteral("ActUnterordner"), [this] { ActUnterordnerExecute(); }, {},
               [this] { return m_includeSubfolders; });
    BindAction(QStringLiteral("ActAktuallisieren"), [this] { ActAktuallisierenExecute(); });
    BindEditActions();
    BindRenameActions();
    BindUndoAction();
    BindSearchActions();
    BindFavoriteActions();
    BindAboutActions();
    BindAction(QStringLiteral("ActFileProperties"), [this] { ActFilePropertiesExecute(); },
               [this] { return m_editedCount > 0; });
    BindAction(QStringLiteral("ActFrameReadOnly"), [this] { ActFrameReadOnlyExecute(); },
               [this] { return ActFrameReadOnlyUpdate().Enabled; }, [this] { return ActFrameReadOnlyUpdate().Checked; });
    // Like the other commands of one field, it shows only for a field.
    HideWhenDisabled(QStringLiteral("ActFrameReadOnly"));
    BindTemplateActions();
    BindCaseActions();
    BindDateActions();
    BindBatchActions();
    BindExportAction();
    BindAction(QStringLiteral("ActSpalten"), [this] { ActSpaltenExecute(); });
    BindCDDBAction();
    BindHistoryActions();
    BindPanelActions();
    BindPlayHelpActions();
    BindFileOpActions();
    BindDragDrop();
    BindKeys();
    BindSettingsActions();
}

void TFQuillon::BindEditActions()
{
    const auto editable = [] {
        QWidget* control = FocusedTextControl();
        return control && !IsReadOnlyText(control);
    };
    // In the file list the commands put files on the clipboard; in the list
    // and the tree Paste copies or moves files from it.
    const auto filesSelected = [this] { return LVFiles->hasFocus() && LVFiles->selectionModel()->hasSelection(); };
    const auto filesToPaste = [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return (LVFiles->hasFocus() || ShellTreeView1->hasFocus()) && data && FileMimeData::HasFiles(*data);
    };
    // Files when the list has selected files, else the focused control's text.
    const auto filesOrText = [this, filesSelected](bool cut) {
        if (filesSelected())
            CopyFilesToClipboard(cut);
        else if (cut)
            OnFocusedText([](auto& control) { control.cut(); });
        else
            OnFocusedText([](auto& control) { control.copy(); });
    };
    BindAction(QStringLiteral("EditCut1"), [filesOrText] { filesOrText(true); },
               [editable, filesSelected] { return editable() || filesSelected(); });
    BindAction(QStringLiteral("EditCopy1"), [filesOrText] { filesOrText(false); },
               [filesSelected] { return FocusedTextControl() != nullptr || filesSelected(); });
    BindAction(
        QStringLiteral("EditPaste1"),
        [this, filesToPaste] {
            if (filesToPaste())
                PasteFilesFromClipboard();
            else
                OnFocusedText([](auto& control) { control.paste(); });
        },
        [editable, filesToPaste] {
            return (editable() && !QApplication::clipboard()->text().isEmpty()) || filesToPaste();
        });
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateActions(); });
    // Text copied in any program makes Paste available at once.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateActions(); });
}

void TFQuillon::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        UpdateActions();
}
