// The input pages of the main window.

#include "InputPanelTestSupport.h"

#include "localisation/MultiLanguage.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>

#include <limits>

namespace {

class MainWindowInputPagesTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    // Lets the splitter follow the panel's new minimum through posted
    // layout requests.
    static void Settle()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    static QRect RectIn(const QWidget* widget, const QWidget& window)
    {
        return {widget->mapTo(&window, QPoint(0, 0)), widget->size()};
    }

    // On every page, every input and each of its parts (a comment's
    // description and language line) lie wholly in what the panel shows,
    // and the template check box covers none of them. On the highest page
    // the room below the inputs is less than the check box's strip: no part
    // of the page is counted twice.
    static void ExpectEveryInputWhollyVisible(TFQuillon& window, const char* when)
    {
        int leastRoom = std::numeric_limits<int>::max();
        for (int page = 0; page < window.PagInfos->count(); ++page) {
            window.PagInfos->setCurrentIndex(page);
            Settle();
            const QWidget* sheet = window.PagInfos->widget(page);
            const QRect shown = RectIn(sheet, window) & RectIn(window.PanID3, window);
            const QRect checkBox = window.CbxVorgabe->isVisible() ? RectIn(window.CbxVorgabe, window) : QRect();
            EXPECT_TRUE(checkBox.isNull() || shown.contains(checkBox)) << when << ", page " << page;
            int bottom = -1;
            for (const TID3v2Frame* input : window.PageInputs()) {
                if (!sheet->isAncestorOf(input) || window.SBoxWeitereFelder->isAncestorOf(input))
                    continue;
                const QRect rect = RectIn(input, window);
                EXPECT_FALSE(rect.intersects(checkBox)) << when << ": " << input->FrameID().toStdString();
                for (const QWidget* part : input->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (part->isVisible() && !part->isWindow()) {
                        EXPECT_TRUE(shown.contains(RectIn(part, window)))
                            << when << ": " << input->FrameID().toStdString() << " "
                            << part->metaObject()->className();
                    }
                }
                bottom = std::max(bottom, rect.bottom());
            }
            if (bottom >= 0)
                leastRoom = std::min(leastRoom, RectIn(window.PanVorgabe, window).top() - bottom - 1);
        }
        EXPECT_LT(leastRoom, window.PanVorgabe->height()) << when;
        window.PagInfos->setCurrentIndex(0);
    }

    static TEingabeSeiten Layout(std::initializer_list<std::pair<QString, QStringList>> pages)
    {
        TEingabeSeiten layout;
        for (const auto& [title, ids] : pages)
            layout.Add(title).FrameIDs = ids;
        return layout;
    }
};

}

TEST_F(MainWindowInputPagesTest, PagesAreBuiltAndReadBack)
{
    TFQuillon window({});
    // A title typed equal to the language's own text is stored by its key
    // and so follows a later change of language; an ID without an input
    // class gets no input and is gone from the layout read back.
    window.ApplyInputPages(Layout({{Lang("PageGeneralTitle"), {"TIT2", "ZZZZ", "TRCK"}},
                                   {QStringLiteral("Mine"), {"COMM", "WOAR"}},
                                   {QStringLiteral("%PageAdditionalTitle"), {}}}));
    EXPECT_EQ(window.PagInfos->tabText(2), Lang("PageAdditionalTitle"));
    EXPECT_EQ(window.PageInputs().size(), 4u);
    EXPECT_EQ(PagesText(window.InputPages()),
              QStringList({"%PageGeneralTitle:TIT2,TRCK", "Mine:COMM,WOAR", "%PageAdditionalTitle:"}));

    // Rebuilding frees the old inputs; the two fixed pages stay.
    window.ApplyInputPages(Layout({}));
    EXPECT_TRUE(window.PageInputs().empty());
    EXPECT_EQ(window.PagInfos->count(), 2);
}

TEST_F(MainWindowInputPagesTest, TheSettingsGiveTheInputsTheirTagVersion)
{
    TFQuillon window({});
    window.Settings().ID3v2Version = 4;
    window.ApplySettings();
    EXPECT_EQ(InputOf(window, QStringLiteral("TIT2"))->UseID3Version(), ivID3v2_4);
    window.ApplyInputPages(Layout({{QStringLiteral("Mine"), {"TMOO", "TIT2", "TEXT"}}, {QStringLiteral("More"), {"TCOM"}}}));
    window.Settings().WriteID3v2 = false;
    window.ApplySettings();
    EXPECT_EQ(InputOf(window, QStringLiteral("TIT2"))->UseID3Version(), ivID3v1);
    // ID3v1 has no mood, lyricist or composer: no inputs for them, but the
    // layout keeps them through the rebuild, in the settings and in the next
    // rebuild, and they come back when ID3v2 is written again.
    EXPECT_EQ(window.PageInputs().size(), 1u);
    EXPECT_EQ(PagesText(window.InputPages()), QStringList({"Mine:TMOO,TIT2,TEXT", "More:TCOM"}));
    window.ApplySettings();
    window.Settings().WriteID3v2 = true;
    window.ApplySettings();
    EXPECT_EQ(window.PageInputs().size(), 4u);
    EXPECT_EQ(InputOf(window, QStringLiteral("TCOM"))->UseID3Version(), ivID3v2_4);
}

TEST_F(MainWindowInputPagesTest, TheTemplateCheckBoxFollowsTheSelectionAndThePage)
{
    for (const char* name : {"a.mp3", "b.mp3"})
        ASSERT_TRUE(WriteMp3WithFrames(Path(QString::fromLatin1(name)), {}));
    auto window = Open();
    // Checked when the one selected file is the template.
    window->SetTemplateEntry(window->Entries()[1].get());
    SelectListRows(*window, {1});
    EXPECT_TRUE(window->CbxVorgabe->isChecked());

    // The panel sits on the active page and survives a rebuild.
    window->PagInfos->setCurrentWidget(window->TabDateiinfos);
    EXPECT_EQ(window->PanVorgabe->parentWidget(), window->TabDateiinfos);
    window->ApplyInputPages(window->InputPages());
    EXPECT_EQ(window->PanVorgabe->parentWidget(), window->PagInfos->widget(0));
}

TEST_F(MainWindowInputPagesTest, ARebuildKeepsPendingEdits)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Before")}}));
    auto window = Open();
    TypeInto(InputOf(*window, QStringLiteral("TIT2")), QStringLiteral("After"));
    window->ApplyInputPages(window->InputPages());
    // The new inputs show the entry, which holds the edit, not yet written.
    EXPECT_EQ(ShownText(InputOf(*window, QStringLiteral("TIT2"))), QStringLiteral("After"));
    window->CommitEdits();
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), QStringLiteral("TIT2")), QStringLiteral("After"));
}

TEST_F(MainWindowInputPagesTest, ThePanelKeepsOneHeightOnEveryPage)
{
    // The template check box sits on the shown page; the pages of the
    // default layout, the further fields and the file information differ
    // in height. A tab clicked must not move away from under the mouse.
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Title")}}));
    auto window = OpenActive();
    SelectListRows(*window, {0});
    const auto tabsAndPanel = [&window](int page) {
        window->PagInfos->setCurrentIndex(page);
        // The splitter follows the panel's new minimum through posted layout requests.
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        const QPoint tabs = window->PagInfos->tabBar()->mapTo(window.get(), QPoint(0, 0));
        return std::pair{tabs.y(), window->PanID3->height()};
    };
    const auto first = tabsAndPanel(0);
    for (int round = 0; round < 2; ++round)
        for (int page = 0; page < window->PagInfos->count(); ++page)
            EXPECT_EQ(tabsAndPanel(page), first) << "page " << page;
}

TEST_F(MainWindowInputPagesTest, EveryInputStaysVisibleWithOneOrSeveralFilesBeforeAndAfterTheSettings)
{
    // The template check box shows for one file only; the panel is fitted
    // again when the settings are confirmed, whatever is selected then.
    for (const char* name : {"a.mp3", "b.mp3"})
        ASSERT_TRUE(WriteMp3WithFrames(Path(QString::fromLatin1(name)),
                                       {{"TIT2", Text("Title")}, {"COMM", Comment("Note", "Text")}}));
    auto window = OpenActive();
    Env.Prompt.OnModal = [](QDialog&) { return int(QDialog::Accepted); };
    const auto settingsOk = [&window] {
        window->UpdateActions();
        window->Action(QStringLiteral("ActEinstellungen"))->trigger();
        Settle();
    };
    SelectListRows(*window, {0});
    ExpectEveryInputWhollyVisible(*window, "one file");
    SelectListRows(*window, {0, 1});
    ExpectEveryInputWhollyVisible(*window, "two files");
    settingsOk();
    ExpectEveryInputWhollyVisible(*window, "two files, settings confirmed");
    SelectListRows(*window, {1});
    ExpectEveryInputWhollyVisible(*window, "one file after the settings confirmed with two");
    settingsOk();
    ExpectEveryInputWhollyVisible(*window, "one file, settings confirmed");
    SelectListRows(*window, {0, 1});
    ExpectEveryInputWhollyVisible(*window, "two files after the settings confirmed with one");
}
