// The input pages of the main window.

#include "InputPanelTestSupport.h"

#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameGenre.h"
#include "frameinput/ID3v2FrameNumber.h"
#include "frameinput/ID3v2FrameURL.h"
#include "frameinput/ID3v2FrameUnKnown.h"
#include "localisation/MultiLanguage.h"
#include "common/InputPages.h"

#include <QCheckBox>
#include <QLayout>
#include <QScrollArea>
#include <QSplitter>

namespace {

class MainWindowInputPagesTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    static TEingabeSeiten Layout(std::initializer_list<std::pair<QString, QStringList>> pages)
    {
        TEingabeSeiten layout;
        for (const auto& [title, ids] : pages)
            layout.Add(title).FrameIDs = ids;
        return layout;
    }

    static QStringList TabTitles(const TFQuillon& window)
    {
        QStringList titles;
        for (int i = 0; i < window.PagInfos->count(); ++i)
            titles << window.PagInfos->tabText(i);
        return titles;
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
    EXPECT_EQ(TabTitles(window), QStringList({Lang("PageGeneralTitle"), QStringLiteral("Mine"),
                                              Lang("PageAdditionalTitle"), Lang("PageMoreFieldsTitle"),
                                              Lang("PageFileInfosTitle")}));
    ASSERT_EQ(window.PageInputs().size(), 4u);

    const TEingabeSeiten read = window.InputPages();
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(read.Items(0).Title, QStringLiteral("%PageGeneralTitle"));
    EXPECT_EQ(read.Items(0).FrameIDs, QStringList({"TIT2", "TRCK"}));
    EXPECT_EQ(read.Items(1).Title, QStringLiteral("Mine"));
    EXPECT_EQ(read.Items(1).FrameIDs, QStringList({"COMM", "WOAR"}));
    EXPECT_EQ(read.Items(2).Title, QStringLiteral("%PageAdditionalTitle"));
    EXPECT_TRUE(read.Items(2).FrameIDs.isEmpty());

    // Inputs of a page stack in the order of its IDs.
    TID3v2Frame* title = InputOf(window, QStringLiteral("TIT2"));
    TID3v2Frame* track = InputOf(window, QStringLiteral("TRCK"));
    ASSERT_EQ(title->parentWidget(), track->parentWidget());
    title->parentWidget()->layout()->activate();
    EXPECT_LT(title->y(), track->y());

    // Rebuilding frees the old inputs; extra inputs are never part of a page.
    window.ApplyInputPages(Layout({}));
    EXPECT_TRUE(window.PageInputs().empty());
    EXPECT_EQ(TabTitles(window), QStringList({Lang("PageMoreFieldsTitle"), Lang("PageFileInfosTitle")}));
    EXPECT_EQ(window.InputPages().Count(), 0);
}

TEST_F(MainWindowInputPagesTest, EachFrameIDGetsAnInputOfItsClass)
{
    TFQuillon window({});
    window.ApplyInputPages(Layout({}));
    QWidget* box = window.SBoxWeitereFelder;
    const auto create = [&](const char* id, bool onlyKnown) {
        return window.CreateFrameInput(box, QString::fromLatin1(id), onlyKnown);
    };
    EXPECT_NE(qobject_cast<TID3v2FrameDateTime*>(create("TDRC", true)), nullptr);
    EXPECT_NE(qobject_cast<TID3v2FrameGenre*>(create("TCON", true)), nullptr);
    EXPECT_NE(qobject_cast<TID3v2FrameURL*>(create("WXXX", true)), nullptr);
    EXPECT_NE(qobject_cast<TID3v2FrameComment*>(create("COMM", true)), nullptr);
    auto* number = qobject_cast<TID3v2FrameNumber*>(create("TPOS", true));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->TextBetween(), Lang("TrackFieldOf"));
    EXPECT_EQ(number->UseID3Version(), window.GetWriterVersion());
    // Only the unknown-frame input takes frames no class handles.
    EXPECT_EQ(create("PRIV", true), nullptr);
    auto* unknown = qobject_cast<TID3v2FrameUnKnown*>(create("PRIV", false));
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->UnKnownFrame(), Lang("UnKnownFieldUnKnown"));
    EXPECT_EQ(window.PageInputs().size(), 6u);
    EXPECT_EQ(unknown->parentWidget(), window.SBoxWeitereFelder->widget());
}

TEST_F(MainWindowInputPagesTest, TheSettingsGiveTheInputsTheirTagVersion)
{
    TFQuillon window({});
    ASSERT_EQ(window.Settings().ID3v2Version, 3);
    EXPECT_EQ(InputOf(window, QStringLiteral("TIT2"))->UseID3Version(), ivID3v2_3);
    for (const TID3v2Frame* input : window.TemplateInputs())
        EXPECT_EQ(input->UseID3Version(), ivID3v2_3);

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
    EXPECT_EQ(window.InputPages().Items(0).FrameIDs, QStringList({"TMOO", "TIT2", "TEXT"}));
    EXPECT_EQ(window.InputPages().Items(1).FrameIDs, QStringList({"TCOM"}));
    window.ApplySettings();
    window.Settings().WriteID3v2 = true;
    window.ApplySettings();
    EXPECT_EQ(window.PageInputs().size(), 4u);
    for (const char* id : {"TMOO", "TIT2", "TEXT", "TCOM"})
        EXPECT_EQ(InputOf(window, QString::fromLatin1(id))->UseID3Version(), ivID3v2_4) << id;
}

TEST_F(MainWindowInputPagesTest, WithoutPagesTheAreaFitsTheFileInformation)
{
    TFQuillon window({});
    window.show();
    QCoreApplication::processEvents();
    const auto panelHeight = [&window] {
        return window.SplitterID3->sizes().at(window.SplitterID3->indexOf(window.PanID3));
    };
    window.ApplyInputPages(Layout({}));
    const int bare = panelHeight();
    // The file information and the template check box, the tabs above.
    const int fileInfo = window.TabDateiinfos->layout()->sizeHint().height() + window.PanVorgabe->sizeHint().height();
    EXPECT_GE(bare, fileInfo);
    EXPECT_LE(bare, fileInfo + window.PagInfos->tabBar()->sizeHint().height() + 16);

    window.ApplyInputPages(Layout({{QStringLiteral("Tall"), {"TIT1", "TIT2", "TIT3", "TALB", "TOAL", "TSST", "TPE1",
                                                            "TPE2", "TPE3", "TPE4", "TOPE", "TEXT"}}}));
    int inputs = 0;
    for (const TID3v2Frame* input : window.PageInputs())
        inputs += input->height();
    EXPECT_GT(panelHeight(), bare);
    EXPECT_GE(panelHeight(), inputs + window.PanVorgabe->sizeHint().height());
}

TEST_F(MainWindowInputPagesTest, TheTemplateCheckBoxFollowsTheSelectionAndThePage)
{
    for (const char* name : {"a.mp3", "b.mp3"})
        ASSERT_TRUE(WriteMp3WithFrames(Path(QString::fromLatin1(name)), {}));
    auto window = Open();
    QCheckBox* box = window->CbxVorgabe;
    // One file: visible and enabled, checked when it is the template.
    EXPECT_FALSE(box->isHidden());
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    window->SetTemplateEntry(window->Entries()[1].get());
    SelectListRows(*window, {1});
    EXPECT_TRUE(box->isChecked());
    // Two files: hidden.
    SelectListRows(*window, {0, 1});
    EXPECT_TRUE(box->isHidden());
    // None: visible but disabled.
    window->LVFiles->clearSelection();
    EXPECT_FALSE(box->isHidden());
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());

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
    EXPECT_TRUE(window->Entries()[0]->Changed);
    EXPECT_EQ(ShownText(InputOf(*window, QStringLiteral("TIT2"))), QStringLiteral("After"));
    window->CommitEdits();
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), QStringLiteral("TIT2")), QStringLiteral("After"));
}
