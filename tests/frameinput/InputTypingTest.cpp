// Typing into inputs whose files disagree, and inputs that take no edit.

#include "FrameInputTestSupport.h"

#include "frameinput/CustomBuglessCombo.h"
#include "frameinput/ID3v2FrameComment.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "frameinput/ID3v2FrameGenre.h"
#include "frameinput/ID3v2FrameNumber.h"
#include "frameinput/ID3v2FrameUnKnown.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QToolButton>

namespace {

// An input of the class loaded with the first value and compared with the
// second, shown in a window of its own that has the focus.
template <typename TInput>
std::unique_ptr<TInput> DifferingInput(const QString& id, const QString& first, const QString& second)
{
    auto input = LoadedInput<TInput>(id, first);
    const TID3Frame other = TextFrame(id, {second});
    input->AddFrame(&other);
    EXPECT_TRUE(input->IsDifferent());
    input->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(input.get()));
    return input;
}

// A click near the right end of the control, where the cursor of an edit
// would land behind the shown value, then the events that follow it.
void ClickIntoRightEnd(QWidget* control)
{
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(control->width() - 8, control->height() / 2));
    QCoreApplication::processEvents();
}

TID3Frame CommentFrame(const QString& text)
{
    TID3Frame frame(QStringLiteral("COMM"));
    SetCommentFrame(frame, SplitTextLines(text), QString(), QStringLiteral("eng"));
    return frame;
}

}

TEST(InputTyping, TypingIntoADifferingInputReplacesTheFirstFilesValue)
{
    // Text: a click behind the shown value, then typing.
    auto text = DifferingInput<TID3v2FrameEdit>(QStringLiteral("TALB"), QStringLiteral("Old Album"),
                                                QStringLiteral("Other Album"));
    ClickIntoRightEnd(text->Edit());
    EXPECT_EQ(text->Edit()->text(), QStringLiteral("Old Album")) << "the first file's value shows while focused";
    TypeText(text->Edit(), QStringLiteral("New Album"));
    EXPECT_EQ(WrittenText(*text), QStringLiteral("New Album"));

    // Genre typed into the combo box's edit.
    auto genre = DifferingInput<TID3v2FrameGenre>(QStringLiteral("TCON"), QStringLiteral("Rock"),
                                                  QStringLiteral("Jazz"));
    ClickIntoRightEnd(genre->Combo()->lineEdit());
    TypeText(genre->Combo()->lineEdit(), QStringLiteral("Polka"));
    EXPECT_EQ(WrittenText(*genre), QStringLiteral("Polka"));

    // Both edits of a number.
    auto number = DifferingInput<TID3v2FrameNumber>(QStringLiteral("TRCK"), QStringLiteral("5/12"),
                                                    QStringLiteral("7/10"));
    ClickIntoRightEnd(number->NumberEdit());
    TypeText(number->NumberEdit(), QStringLiteral("9"));
    // Typing counts for all files: the first file's total goes with it.
    EXPECT_EQ(WrittenText(*number), QStringLiteral("9/12"));
    auto total = DifferingInput<TID3v2FrameNumber>(QStringLiteral("TRCK"), QStringLiteral("5/12"),
                                                   QStringLiteral("7/10"));
    ClickIntoRightEnd(total->TotalEdit());
    TypeText(total->TotalEdit(), QStringLiteral("11"));
    EXPECT_EQ(WrittenText(*total), QStringLiteral("5/11"));

    // A date typed from a click into its last part runs through all parts.
    auto date = DifferingInput<TID3v2FrameDateTime>(QStringLiteral("TDRC"), QStringLiteral("2004-05-17"),
                                                    QStringLiteral("1999-01-02"));
    ClickIntoRightEnd(date->DatePicker()->findChild<QLineEdit*>());
    TypeText(date->DatePicker(), QStringLiteral("02032010"));
    EXPECT_EQ(WrittenText(*date), QStringLiteral("2010-03-02"));

    // A comment entered by the keyboard.
    auto comment = MakeInput<TID3v2FrameComment>(QStringLiteral("COMM"));
    const TID3Frame first = CommentFrame(QStringLiteral("Old comment"));
    const TID3Frame second = CommentFrame(QStringLiteral("Another"));
    comment->AddFrame(&first);
    comment->AddFrame(&second);
    comment->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(comment.get()));
    comment->Memo()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    TypeText(comment->Memo(), QStringLiteral("New"));
    EXPECT_EQ(comment->MemoText(), QStringLiteral("New"));
}

TEST(InputTyping, AnInputTheFilesAgreeOnIsEditedWhereTheCursorIs)
{
    auto text = LoadedInput<TID3v2FrameEdit>(QStringLiteral("TALB"), QStringLiteral("Album"));
    text->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(text.get()));
    ClickIntoRightEnd(text->Edit());
    TypeText(text->Edit(), QStringLiteral(" Two"));
    EXPECT_EQ(WrittenText(*text), QStringLiteral("Album Two"));
}

TEST(InputTyping, ReadOnlyInputsShowTheirValueAndTakeNoEdit)
{
    auto text = LoadedInput<TID3v2FrameEdit>(QStringLiteral("TIT2"), QStringLiteral("Title"));
    auto genre = LoadedInput<TID3v2FrameGenre>(QStringLiteral("TCON"), QStringLiteral("Rock"));
    auto number = LoadedInput<TID3v2FrameNumber>(QStringLiteral("TRCK"), QStringLiteral("5/12"));
    auto date = LoadedInput<TID3v2FrameDateTime>(QStringLiteral("TDRC"), QStringLiteral("2004-05-17"));
    auto comment = MakeInput<TID3v2FrameComment>(QStringLiteral("COMM"));
    const TID3Frame note = CommentFrame(QStringLiteral("Note"));
    comment->AddFrame(&note);
    auto unknown = MakeInput<TID3v2FrameUnKnown>(QStringLiteral("PCNT"));
    const TID3Frame counter = BodyFrame(QStringLiteral("PCNT"), QByteArray("\x00\x00\x00\x07", 4));
    unknown->AddFrame(&counter);
    const std::vector<TID3v2Frame*> inputs = {text.get(), genre.get(), number.get(), date.get(), comment.get(),
                                              unknown.get()};
    for (TID3v2Frame* input : inputs)
        input->SetReadOnly(true);

    TBeepCounter beeps;
    TypeText(text->Edit(), QStringLiteral("x"));
    TypeText(number->NumberEdit(), QStringLiteral("9"));
    QTest::keyClick(number->NumberEdit(), Qt::Key_Up);
    QTest::keyClick(date->DatePicker(), Qt::Key_Up);
    TypeText(date->DatePicker(), QStringLiteral("1"));
    TypeText(comment->Memo(), QStringLiteral("x"));
    EXPECT_EQ(beeps.Beeps, 1) << "the refused step";
    EXPECT_FALSE(genre->Combo()->isEnabled());
    EXPECT_FALSE(number->UpButton(number->NumberEdit())->isEnabled());
    EXPECT_FALSE(date->MoreButton()->isEnabled());
    EXPECT_FALSE(date->LessButton()->isEnabled());
    EXPECT_FALSE(unknown->findChild<QToolButton*>()->isEnabled());
    for (TID3v2Frame* input : inputs) {
        EXPECT_TRUE(input->isEnabled()) << "the value stays readable: " << input->FrameID().toStdString();
        EXPECT_FALSE(input->IsDataChanged()) << input->FrameID().toStdString();
    }
    EXPECT_EQ(WrittenText(*text), QStringLiteral("Title"));
    EXPECT_EQ(WrittenText(*number), QStringLiteral("5/12"));
    EXPECT_EQ(WrittenText(*date), QStringLiteral("2004-05-17"));
    EXPECT_EQ(comment->MemoText(), QStringLiteral("Note"));

    // Editable again, they take edits as before.
    for (TID3v2Frame* input : inputs)
        input->SetReadOnly(false);
    TypeText(text->Edit(), QStringLiteral("x"));
    EXPECT_EQ(WrittenText(*text), QStringLiteral("Titlex"));
    EXPECT_TRUE(genre->Combo()->isEnabled());
    EXPECT_TRUE(number->Step(number->NumberEdit(), +1));
    EXPECT_EQ(WrittenText(*number), QStringLiteral("6/12"));
    EXPECT_TRUE(date->MoreButton()->isEnabled());
    EXPECT_TRUE(unknown->findChild<QToolButton*>()->isEnabled());
}
