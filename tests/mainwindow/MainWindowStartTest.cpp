#include "InputPanelTestSupport.h"

#include "controls/MenuBar.h"
#include "controls/QtPrompt.h"
#include "mainwindow/ActionTable.h"
#include "dialogs/FormStart.h"
#include "common/SettingsKey.h"
#include "common/ToolbarButtons.h"
#include "platform/Registry.h"
#include "support/FifoWriter.h"

#include "localisation/MultiLanguage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <QPointer>
#include <QTimer>

namespace {

class MainWindowStartTest : public ::testing::Test {
protected:
    TMainWindowEnvironment Env;
};

// Restores the working folder when the test ends.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~TCurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

}

TEST_F(MainWindowStartTest, FirstStartShowsTheDefaultsAndAsksForTheLanguage)
{
    TFQuillon window({});
    EXPECT_EQ(window.Settings(), TEinstellungen());
    EXPECT_EQ(window.GetToolbarCodes(), DefaultToolbar());
    // No language is stored: the selector was offered (and cancelled here).
    EXPECT_EQ(Env.Prompt.Modals, 1);
    // Without a stored placement the window takes three quarters of the screen.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(window.width(), available.width() * 3 / 4, 1);
    EXPECT_NEAR(window.height(), available.height() * 3 / 4, 1);
    EXPECT_TRUE(available.contains(window.geometry()));
}

TEST_F(MainWindowStartTest, AFifoAsTheLanguageFileNeverHoldsTheStart)
{
    // A writer stands by: a start that waited on the FIFO would read a
    // language from it and not ask.
    const QString fifo = Env.PathOf(QStringLiteral("x.qlnlang"));
    TFifoWriter writer(fifo, "Language=FIFO\r\nQLNVersion=3.14\r\n");
    ASSERT_TRUE(writer.Made());
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), true));
        reg.WriteString(QStringLiteral("LanguageFile"), fifo);
    }
    TFQuillon window({});
    // No language could be loaded: the selector was offered.
    EXPECT_EQ(Env.Prompt.Modals, 1);
    EXPECT_NE(Lang(QStringLiteral("Language")), QStringLiteral("FIFO"));
}

TEST_F(MainWindowStartTest, EveryActionIsInTheMenusUnderItsOwnName)
{
    TFQuillon window({});
    for (const TActionDef& def : MainWindowActions)
        EXPECT_NE(window.Action(QString::fromLatin1(def.Name)), nullptr) << def.Name;

    // Every tool-bar row names an existing action and pop-up.
    for (const TSymbolleistenButton& row : ToolbarButtons) {
        EXPECT_NE(window.Action(QString::fromLatin1(row.ActionName)), nullptr) << row.ActionName;
        if (*row.PopupName) {
            EXPECT_NE(window.PopupMenu(QString::fromLatin1(row.PopupName)), nullptr) << row.PopupName;
        }
    }

    // Without a hint the caption ("&Ordner wählen...") is the tool tip, as
    // plain text.
    EXPECT_EQ(window.Action(QStringLiteral("ActCopyFileToSelect"))->toolTip(), QString::fromUtf8("Ordner wählen"));

    window.FormShow();
    EXPECT_EQ(window.MenuBar1->ButtonCount(), 6);
}

TEST_F(MainWindowStartTest, TheFirstPathDecidesTheFolderHiddenOrNotAndOnlyItsFilesAreSelected)
{
    for (const char* name : {"album/a.mp3", "album/b.mp3", "album/c.mp3", "other/x.mp3", ".local/music/b.mp3"})
        ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QString::fromLatin1(name)), {}));
    const TCurrentFolder current(Env.Folder());

    // A folder first: it is opened, not the folder of a file after it.
    TFQuillon folderFirst({QStringLiteral("album/"), QStringLiteral("other/x.mp3"), QStringLiteral("album/b.mp3")});
    folderFirst.FormShow();
    EXPECT_EQ(folderFirst.CurrentFolder(), Env.Folder() + QStringLiteral("/album/"));
    EXPECT_EQ(folderFirst.FirstEditedIndex(), 1);
    EXPECT_EQ(folderFirst.EditedCount(), 1);
    // Also one below a hidden folder, which the tree shows only then.
    TFQuillon hidden({QStringLiteral(".local/music")});
    hidden.FormShow();
    EXPECT_EQ(hidden.TreePath(), Env.Folder() + QStringLiteral("/.local/music"));
    EXPECT_EQ(hidden.Entries().size(), 1u);

    // A file first: its folder (relative paths name files of the working
    // folder); files and folders elsewhere select nothing.
    TFQuillon fileFirst({QStringLiteral("album/c.mp3"), QStringLiteral("./album/../album/a.mp3"),
                         QStringLiteral("other/x.mp3"), QStringLiteral("other")});
    fileFirst.FormShow();
    EXPECT_EQ(fileFirst.CurrentFolder(), Env.Folder() + QStringLiteral("/album/"));
    ASSERT_EQ(fileFirst.Entries().size(), 3u);
    EXPECT_TRUE(fileFirst.Entries()[0]->Edited);
    EXPECT_FALSE(fileFirst.Entries()[1]->Edited);
    EXPECT_TRUE(fileFirst.Entries()[2]->Edited);
    // The paths are taken by the first load only.
    fileFirst.LoadFolder(fileFirst.CurrentFolder(), false);
    EXPECT_EQ(fileFirst.EditedCount(), 1);
}

TEST_F(MainWindowStartTest, CommandStatesFollowTheClipboardAndTheActiveWindow)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("album/a.mp3")), {{"TIT2", "Title"}}));
    auto opened = OpenWindowAt(Env.PathOf(QStringLiteral("album")));
    TFQuillon& window = *opened;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* title = TextControlOf(InputOf(window, QStringLiteral("TIT2")));
    ASSERT_NE(title, nullptr);
    QApplication::clipboard()->clear();
    title->setFocus();
    QAction* paste = window.Action(QStringLiteral("EditPaste1"));
    EXPECT_FALSE(paste->isEnabled());

    // Text copied elsewhere: Paste at once, without a change of focus.
    QApplication::clipboard()->setText(QStringLiteral("copied"));
    EXPECT_TRUE(paste->isEnabled());
    QApplication::clipboard()->clear();
    EXPECT_FALSE(paste->isEnabled());

    // A change nobody reported shows when the window becomes active again.
    {
        const QSignalBlocker quiet(QApplication::clipboard());
        QApplication::clipboard()->setText(QStringLiteral("meanwhile"));
    }
    EXPECT_FALSE(paste->isEnabled());
    QEvent activated(QEvent::ActivationChange);
    QApplication::sendEvent(&window, &activated);
    EXPECT_TRUE(paste->isEnabled());
    QApplication::clipboard()->clear();
}

TEST_F(MainWindowStartTest, ToolBarPicturesComeFromTheIconThemeAndAreGreyedWhenDisabled)
{
    TFQuillon window({});
    // The desktop's theme, or an installed one when the platform names none.
    EXPECT_FALSE(QIcon::themeName().isEmpty());
    EXPECT_NE(QIcon::themeName(), QStringLiteral("hicolor"));
    const QIcon themed = QIcon::fromTheme(QStringLiteral("edit-copy"));
    ASSERT_FALSE(themed.isNull()) << "no icon theme installed";

    const auto image = [](const QAction* action, QIcon::Mode mode) {
        return action->icon().pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    // The theme's shape, perhaps darkened.
    const QImage copy = image(window.Action(QStringLiteral("EditCopy1")), QIcon::Normal);
    EXPECT_EQ(copy.convertToFormat(QImage::Format_Alpha8),
              themed.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_Alpha8));

    // Themed and drawn pictures alike: disabled ones are grey.
    for (const char* name : {"EditCopy1", "ActUndo", "ActAutoTrackNo", "ActGrossKleinSchreibung", "ActID3FromFilename"}) {
        const QAction* action = window.Action(QString::fromLatin1(name));
        const QImage normal = image(action, QIcon::Normal);
        const QImage disabled = image(action, QIcon::Disabled);
        bool coloured = false;
        bool grey = true;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb n = normal.pixel(x, y);
                const QRgb d = disabled.pixel(x, y);
                coloured = coloured || (qAlpha(n) > 0 && (qRed(n) != qGreen(n) || qGreen(n) != qBlue(n)));
                grey = grey && (qAlpha(d) == 0 || (qRed(d) == qGreen(d) && qGreen(d) == qBlue(d)));
            }
        }
        EXPECT_TRUE(grey) << name;
        if (QLatin1String(name).startsWith(QLatin1String("Act")) && QLatin1String(name) != QLatin1String("ActUndo")) {
            EXPECT_TRUE(coloured) << "our own pictures are no grey letters: " << name;
        }
    }
    // Every command's picture, themes' pale grey ones too, has dark lines
    // when enabled and none when disabled.
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (action->icon().isNull() || !action->objectName().startsWith(QLatin1String("Act")))
            continue;
        EXPECT_LE(InkLightness(action->icon(), QIcon::Normal), EnabledInk) << action->objectName().toStdString();
        EXPECT_GE(InkLightness(action->icon(), QIcon::Disabled), DisabledInk) << action->objectName().toStdString();
    }

    // On a dark desktop palette the lines of enabled pictures are light:
    // darkened, they would look like disabled ones.
    const TDarkPalette dark;
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (action->icon().isNull() || !action->objectName().startsWith(QLatin1String("Act")))
            continue;
        EXPECT_GE(InkContrast(action->icon(), QIcon::Normal), EnabledContrast) << action->objectName().toStdString();
        EXPECT_LE(InkContrast(action->icon(), QIcon::Disabled), DisabledContrast) << action->objectName().toStdString();
    }
}

TEST_F(MainWindowStartTest, WithoutPathsTheFirstRowIsSelectedAndAnEmptyFolderSelectsNothing)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("full/b.mp3")), {}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("full/a.mp3")), {}));
    QDir().mkpath(Env.PathOf(QStringLiteral("empty")));

    auto window = OpenWindowAt(Env.PathOf(QStringLiteral("full")));
    EXPECT_EQ(window->FirstEditedIndex(), 0);

    // The tree's change loads once the tree has finished its own handling.
    window->SetTreePath(Env.PathOf(QStringLiteral("empty")));
    EXPECT_EQ(window->Entries().size(), 2u);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->Entries().empty());
    EXPECT_EQ(window->EditedCount(), 0);
    EXPECT_EQ(window->StatusText(), Lang("StatusBarSelNothing"));
}

TEST_F(MainWindowStartTest, TheStartScreenMakesWayForTheFirstBoxOrDialog)
{
    TQtPrompt boxes;
    TPrompt* const recording = SetPrompt(&boxes);
    // Closes every box and dialog as soon as it is shown, noting those that
    // the start screen, which stays on top, still covered.
    QPointer<TFormStart> start;
    QStringList shown;
    QStringList covered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal)
            return;
        shown << modal->windowTitle();
        if (start && start->isVisible())
            covered << modal->windowTitle();
        modal->reject();
    });
    answer.start(5);

    // The first start asks for the language.
    start = new TFormStart;
    start->show();
    { TFQuillon window({}); }
    EXPECT_EQ(shown, QStringList({"Sprache / Language"}));
    delete start.data();
    // Any box while the start screen is up.
    start = new TFormStart;
    start->show();
    boxes.Error(nullptr, QStringLiteral("The settings could not be read."));
    EXPECT_EQ(shown.size(), 2);
    EXPECT_TRUE(covered.isEmpty()) << covered.join('|').toStdString();
    delete start.data();
    SetPrompt(recording);
}
