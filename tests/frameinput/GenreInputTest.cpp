#include "FrameInputTestSupport.h"
#include "frameinput/CustomBuglessCombo.h"
#include "frameinput/ID3v2FrameGenre.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

namespace {

std::unique_ptr<TID3v2FrameGenre> Loaded(const QString& value, TID3Versions version = ivID3v2_4)
{
    return LoadedInput<TID3v2FrameGenre>(QStringLiteral("TCON"), value, version);
}

// Picks an entry from the dropped-down list, as a click on it would.
void PickFromList(TBuglessComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->setCurrentIndex(item);
    QTest::keyClick(view, Qt::Key_Return);
}

}

TEST(GenreInput, ListsTheGenresAlphabeticallyAfterAnEmptyEntry)
{
    auto input = MakeInput<TID3v2FrameGenre>(QStringLiteral("TCON"));
    TBuglessComboBox* combo = input->Combo();
    ASSERT_EQ(combo->count(), 1 + GenreCount);
    EXPECT_TRUE(combo->itemText(0).isEmpty());
    for (int i = 2; i < combo->count(); ++i)
        EXPECT_LE(QString::compare(combo->itemText(i - 1), combo->itemText(i), Qt::CaseInsensitive), 0);
}

TEST(GenreInput, ShowsReferencesByNameAndWritesTheName)
{
    for (TID3Versions version : {ivID3v1, ivID3v2_4}) {
        auto input = Loaded(QStringLiteral("(17)"), version);
        EXPECT_EQ(input->Combo()->currentText(), QStringLiteral("Rock"));
        EXPECT_FALSE(input->IsDataChanged()) << "loading is no edit";
        input->DataChanged();
        const TID3Frame* frame = input->GetFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->Body(), QByteArray("\x00Rock", 5)) << "the name, never (17)";
    }
}

TEST(GenreInput, UnlistedGenreIsTextOnlyUnderID3v2)
{
    auto v2 = Loaded(QStringLiteral("Chiptune"));
    EXPECT_EQ(v2->Combo()->currentText(), QStringLiteral("Chiptune"));
    EXPECT_EQ(WrittenText(*v2), QStringLiteral("Chiptune"));

    auto v1 = Loaded(QStringLiteral("Chiptune"), ivID3v1);
    EXPECT_TRUE(v1->IsListStyle());
    EXPECT_EQ(v1->Combo()->currentIndex(), 0);
    EXPECT_EQ(v1->Combo()->currentText(), TID3v2FrameGenre::NoneEntry());
    EXPECT_EQ(v1->GetFrame(), nullptr);
    // Another file with the same unlisted genre is no difference: the list
    // shows both as none.
    const TID3Frame same = TextFrame(QStringLiteral("TCON"), {QStringLiteral("Chiptune")});
    v1->AddFrame(&same);
    EXPECT_FALSE(v1->IsDifferent());
}

TEST(GenreInput, GenresCompareByTheirTextsAndTheCaseOnlyWhereTyped)
{
    // Both show the empty entry, yet the files disagree: their genres are
    // kept unless the user picks one for all of them.
    const TID3Frame vaporwave = TextFrame(QStringLiteral("TCON"), {QStringLiteral("Vaporwave")});
    auto v1 = Loaded(QStringLiteral("Chiptune"), ivID3v1);
    v1->AddFrame(&vaporwave);
    EXPECT_TRUE(v1->IsDifferent());

    // An unlisted genre and none differ too.
    auto none = Loaded(QStringLiteral("Chiptune"), ivID3v1);
    none->AddFrame(nullptr);
    EXPECT_TRUE(none->IsDifferent());

    // The same genre by name and by number, in any case, is no difference.
    const TID3Frame lower = TextFrame(QStringLiteral("TCON"), {QStringLiteral("rock")});
    auto same = Loaded(QStringLiteral("(17)"), ivID3v1);
    same->AddFrame(&lower);
    EXPECT_FALSE(same->IsDifferent());

    // Typed under ID3v2, the case matters.
    auto v2 = Loaded(QStringLiteral("Rock"));
    v2->AddFrame(&lower);
    EXPECT_TRUE(v2->IsDifferent());
    EXPECT_FALSE(v2->IsDataChanged());
    // The different look hides the value until the input has the focus.
    EXPECT_TRUE(v2->Combo()->currentText().isEmpty());
}

TEST(GenreInput, NoneEntryDeletesTheGenreInBothStyles)
{
    auto v1 = Loaded(QStringLiteral("Rock"), ivID3v1);
    PickFromList(v1->Combo(), 0);
    EXPECT_TRUE(v1->IsDataChanged());
    EXPECT_EQ(v1->GetFrame(), nullptr);

    // In the free-text style the entry shows its text only while the list is
    // open; choosing it still means no genre.
    auto v2 = Loaded(QStringLiteral("Rock"));
    v2->Combo()->showPopup();
    EXPECT_EQ(v2->Combo()->itemText(0), TID3v2FrameGenre::NoneEntry());
    v2->Combo()->hidePopup();
    EXPECT_TRUE(v2->Combo()->itemText(0).isEmpty());
    PickFromList(v2->Combo(), 0);
    EXPECT_TRUE(v2->IsDataChanged());
    EXPECT_TRUE(v2->Combo()->currentText().isEmpty());
    EXPECT_EQ(v2->GetFrame(), nullptr);

    // Even typed, the entry's text is never written as a genre.
    v2->Combo()->lineEdit()->setFocus();
    QTest::keyClicks(v2->Combo()->lineEdit(), TID3v2FrameGenre::NoneEntry());
    EXPECT_EQ(v2->GetFrame(), nullptr);
}

TEST(GenreInput, CompletedTextIsWhatIsWrittenAndPassingThroughIsNoEdit)
{
    auto input = Loaded(QStringLiteral("Jazz"));
    ASSERT_TRUE(ShownActive(input.get()));
    QLineEdit* editor = input->Combo()->lineEdit();
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Hard R"));
    // Typing completes to a listed genre; the frame gets what the box shows.
    EXPECT_EQ(input->Combo()->currentText(), QStringLiteral("Hard Rock"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("Hard Rock"));

    // Entering and leaving the box keeps the typed case and changes nothing.
    input = Loaded(QStringLiteral("hard rock"));
    ASSERT_TRUE(ShownActive(input.get()));
    input->Combo()->setFocus();
    QTest::keyClick(input->Combo()->lineEdit(), Qt::Key_Return);
    input->Combo()->clearFocus();
    EXPECT_EQ(input->Combo()->currentText(), QStringLiteral("hard rock"));
    EXPECT_FALSE(input->IsDataChanged());
}

TEST(GenreInput, FocusShowsTheFirstValueAndMenusReachTheOwner)
{
    auto input = Loaded(QStringLiteral("Chiptune"));
    const TID3Frame other = TextFrame(QStringLiteral("TCON"), {QStringLiteral("Rock")});
    input->AddFrame(&other);
    ASSERT_TRUE(ShownActive(input.get()));
    input->Combo()->clearFocus();
    EXPECT_TRUE(input->Combo()->currentText().isEmpty());
    input->Combo()->setFocus();
    EXPECT_EQ(input->Combo()->currentText(), QStringLiteral("Chiptune"));
    EXPECT_FALSE(input->IsDataChanged());

    // A context menu asked for on the typing field is the combo box's.
    QList<QWidget*> asked;
    QObject::connect(input.get(), &TID3v2Frame::innerContextPopup,
                     [&](TID3v2Frame*, QWidget* inner, const QPoint&) { asked << inner; });
    QLineEdit* editor = input->Combo()->lineEdit();
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(editor, &request);
    EXPECT_EQ(asked, QList<QWidget*>{input->Combo()});
}

TEST(GenreInput, TheDroppedListKeepsTheNormalLookWhenTheFilesDiffer)
{
    // The files differ: the box hides the value in button colours, but the
    // list shows the genres, each readable, not only the highlighted one.
    for (TID3Versions version : {ivID3v1, ivID3v2_4}) {
        auto input = Loaded(QStringLiteral("Jazz"), version);
        const TID3Frame other = TextFrame(QStringLiteral("TCON"), {QStringLiteral("Rock")});
        input->AddFrame(&other);
        ASSERT_TRUE(input->IsDifferent());
        const QPalette normal = input->palette();
        TBuglessComboBox* combo = input->Combo();
        ASSERT_EQ(combo->palette().color(QPalette::Active, QPalette::Base), normal.color(QPalette::Active, QPalette::Button));
        combo->showPopup();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            const QPalette list = combo->view()->palette();
            EXPECT_EQ(list.color(group, QPalette::Base), normal.color(QPalette::Active, QPalette::Base)) << version;
            EXPECT_EQ(list.color(group, QPalette::Text), normal.color(QPalette::Active, QPalette::Text)) << version;
        }
        combo->hidePopup();
    }
}
