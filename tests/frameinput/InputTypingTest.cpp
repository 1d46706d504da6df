// Typing into inputs whose files disagree, and inputs that take no edit.

#include "FrameInputTestSupport.h"

#include "frameinput/CustomBuglessCombo.h"
#include "frameinput/ID3v2FrameComment.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "frameinput/ID3v2FrameGenre.h"
#include "frameinput/ID3v2FrameNumber.h"
#include "frameinput/ID3v2FrameUnKnown.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

namespace {

// An input of the class loaded with the first value and compared with the
// second, shown in a window of its own that has the focus.
template <typename TInput>
std::unique_ptr<TInput> DifferingInput(const TID3Frame& first, const TID3Frame& second,
                                       TID3Versions version = ivID3v2_4)
{
    auto input = MakeInput<TInput>(first.FrameID, version);
    input->AddFrame(&first);
    input->AddFrame(&second);
    EXPECT_TRUE(input->IsDifferent());
    EXPECT_TRUE(ShownActive(input.get()));
    return input;
}

template <typename TInput>
std::unique_ptr<TInput> DifferingInput(const QString& id, const QString& first, const QString& second)
{
    return DifferingInput<TInput>(TextFrame(id, {first}), TextFrame(id, {second}));
}

// A click near the right end of the control, where the cursor of an edit
// would land behind the shown value, then the events that follow it.
void ClickIntoRightEnd(QWidget* control)
{
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(control->width() - 8, control->height() / 2));
    QCoreApplication::processEvents();
}

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
    // They do not look like fields to type into: the value shows on the
    // window's background.
    std::vector<QWidget*> valueFields = {text->Edit(),         number->NumberEdit(), number->TotalEdit(),
                                               date->DatePicker(),   date->TimePicker(),   comment->Memo(),
                                               unknown->findChild<QLineEdit*>()};
    const auto fieldsOn = [&valueFields](QPalette::ColorRole role) {
        for (const QWidget* field : valueFields) {
            const QPalette own = field->palette();
            const QPalette window = field->window()->palette();
            if (own.color(QPalette::Active, QPalette::Base) != window.color(QPalette::Active, role)
                || own.color(QPalette::Active, QPalette::Text) != window.color(QPalette::Active, QPalette::Text))
                return false;
        }
        return true;
    };
    EXPECT_TRUE(fieldsOn(QPalette::Window));

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

    // The next file is shown while the inputs are still read-only; it can be
    // edited, and every input then looks and takes edits as before.
    const std::vector<std::pair<TID3v2Frame*, TID3Frame>> reloads = {
        {text.get(), TextFrame(QStringLiteral("TIT2"), {QStringLiteral("Title")})},
        {genre.get(), TextFrame(QStringLiteral("TCON"), {QStringLiteral("Rock")})},
        {number.get(), TextFrame(QStringLiteral("TRCK"), {QStringLiteral("5/12")})},
        {date.get(), TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2004-05-17")})},
        {comment.get(), note},
        {unknown.get(), counter}};
    for (const auto& [input, frame] : reloads) {
        input->Clear();
        input->AddFrame(&frame);
    }
    for (TID3v2Frame* input : inputs)
        input->SetReadOnly(false);
    valueFields.push_back(genre->Combo());
    EXPECT_TRUE(fieldsOn(QPalette::Base));
    TypeText(text->Edit(), QStringLiteral("x"));
    EXPECT_EQ(WrittenText(*text), QStringLiteral("Titlex"));
    EXPECT_TRUE(number->Step(number->NumberEdit(), +1));
    EXPECT_EQ(WrittenText(*number), QStringLiteral("6/12"));
}

namespace {

// Types into a differing input, then takes the typing back with the field's
// own undo (Ctrl+Z, as often as it takes) and brings it again with redo.
template <typename TInput>
void UndoTypingInto(TInput& input, QWidget* typingControl, const QString& typed, const QString& written)
{
    int told = 0;
    QObject::connect(&input, &TID3v2Frame::dataChangedByUser, [&told] { ++told; });
    ClickIntoRightEnd(typingControl);
    TypeText(typingControl, typed);
    ASSERT_TRUE(input.IsDataChanged());
    ASSERT_FALSE(input.IsDifferent());
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(focused && input.isAncestorOf(focused));
    for (int i = 0; i < 10 && input.IsDataChanged(); ++i)
        QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(input.IsDataChanged()) << "undone whole, the field is as loaded";
    EXPECT_TRUE(input.IsDifferent()) << "and the files differ again";
    const int toldBeforeRedo = told;
    QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(input.IsDataChanged()) << "redo is an edit";
    EXPECT_FALSE(input.IsDifferent());
    EXPECT_EQ(WrittenText(input), written);
    EXPECT_GT(toldBeforeRedo, 1) << "the owner hears of the undo too";
    EXPECT_GT(told, toldBeforeRedo);
}

}

TEST(InputTyping, AnEditTakenBackWholeByTheFieldsOwnUndoLeavesTheInputUnmodified)
{
    auto genre =
        DifferingInput<TID3v2FrameGenre>(QStringLiteral("TCON"), QStringLiteral("Rock"), QStringLiteral("Jazz"));
    // (A typed name the list completes cannot be undone: completion replaces
    // the whole text.)
    UndoTypingInto(*genre, genre->Combo()->lineEdit(), QStringLiteral("Qq"), QStringLiteral("Qq"));

    auto number =
        DifferingInput<TID3v2FrameNumber>(QStringLiteral("TRCK"), QStringLiteral("5/12"), QStringLiteral("7/10"));
    UndoTypingInto(*number, number->NumberEdit(), QStringLiteral("9"), QStringLiteral("9/12"));

    auto comment = DifferingInput<TID3v2FrameComment>(CommentFrame(QStringLiteral("first")),
                                                      CommentFrame(QStringLiteral("second")));
    UndoTypingInto(*comment, comment->Memo(), QStringLiteral("new"), QStringLiteral("new"));

    // An input the files agree on is edited where the click put the cursor.
    // Undo that stops short of the loaded value leaves an edit; so does
    // typing the loaded value by hand.
    auto partly = LoadedInput<TID3v2FrameEdit>(QStringLiteral("TIT2"), QStringLiteral("One"));
    ASSERT_TRUE(ShownActive(partly.get()));
    ClickIntoRightEnd(partly->Edit());
    TypeText(partly->Edit(), QStringLiteral("a"));
    partly->Edit()->setCursorPosition(0);
    TypeText(partly->Edit(), QStringLiteral("b"));
    QTest::keyClick(partly->Edit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(partly->Edit()->text(), QStringLiteral("Onea"));
    EXPECT_TRUE(partly->IsDataChanged());
    partly->Edit()->selectAll();
    TypeText(partly->Edit(), QStringLiteral("One"));
    EXPECT_TRUE(partly->IsDataChanged()) << "typed by hand, the loaded value is an edit";
}

namespace {

// What an input of files that disagree writes into the second file after the
// user's edit; "<none>" deletes its frame.
template <typename TInput>
QString WrittenIntoSecondAfter(const TID3Frame& first, const TID3Frame& second,
                               const std::function<void(TInput&)>& edit, TID3Versions version = ivID3v2_4)
{
    auto input = DifferingInput<TInput>(first, second, version);
    edit(*input);
    EXPECT_TRUE(input->IsDataChanged()) << first.FrameID.toStdString();
    EXPECT_FALSE(input->IsDifferent()) << first.FrameID.toStdString();
    return FrameText(input->GetFrameFor(&second));
}

}

TEST(InputTyping, TheFirstFilesValueTypedAgainCountsForEveryFile)
{
    // Typed where a click into the control puts the keyboard focus.
    const auto typeInto = [](QWidget* control, const char* text) {
        ClickIntoRightEnd(control);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        TypeText(QApplication::focusWidget(), QString::fromLatin1(text));
    };
    const auto text = [](const char* id, const char* value) {
        return TextFrame(QString::fromLatin1(id), {QString::fromLatin1(value)});
    };
    const auto pickShownGenre = [](TID3v2FrameGenre& in) {
        in.Combo()->setFocus(Qt::TabFocusReason);
        in.Combo()->showPopup();
        QTest::keyClick(in.Combo()->view(), Qt::Key_Return);
    };
    // The day shown is chosen in the calendar by the Return key or a click.
    const auto chooseShownDay = [](TID3v2FrameDateTime& in, bool byClick) {
        // A click on the picker's arrow opens the calendar.
        ClickIntoRightEnd(in.DatePicker());
        QCalendarWidget* calendar = in.DatePicker()->calendarWidget();
        ASSERT_TRUE(calendar->isVisible());
        auto* days = calendar->findChild<QAbstractItemView*>();
        if (byClick)
            QTest::mouseClick(days->viewport(), Qt::LeftButton, Qt::NoModifier,
                              days->visualRect(days->currentIndex()).center());
        else
            QTest::keyClick(days, Qt::Key_Return);
    };
    // The year steps up by the arrow key or the wheel.
    const auto stepYearUp = [](TID3v2FrameDateTime& in, bool byWheel) {
        QDateEdit* picker = in.DatePicker();
        picker->setFocus(Qt::TabFocusReason);
        picker->setCurrentSection(QDateTimeEdit::YearSection);
        if (!byWheel) {
            QTest::keyClick(picker, Qt::Key_Up);
            return;
        }
        const QPointF at(picker->width() / 4, picker->height() / 2);
        QWheelEvent wheel(at, picker->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(picker, &wheel);
    };
    using TEdit = TID3v2FrameEdit;
    using TDate = TID3v2FrameDateTime;

    EXPECT_EQ(WrittenIntoSecondAfter<TEdit>(text("TALB", "Album"), text("TALB", "Other"),
                                            [&](TEdit& in) { typeInto(in.Edit(), "Album"); }),
              QStringLiteral("Album"));
    EXPECT_EQ(WrittenIntoSecondAfter<TID3v2FrameGenre>(
                  text("TCON", "Rock"), text("TCON", "Jazz"),
                  [&](TID3v2FrameGenre& in) { typeInto(in.Combo()->lineEdit(), "Rock"); }),
              QStringLiteral("Rock"));
    // Under ID3v1 rules the genre is picked from the list.
    EXPECT_EQ(WrittenIntoSecondAfter<TID3v2FrameGenre>(text("TCON", "Rock"), text("TCON", "Jazz"), pickShownGenre,
                                                       ivID3v1),
              QStringLiteral("Rock"));
    EXPECT_EQ(WrittenIntoSecondAfter<TDate>(
                  text("TDRC", "2004-05-17T20:15"), text("TDRC", "2004-05-17T10:00"),
                  [&](TDate& in) { typeInto(in.TimePicker()->findChild<QLineEdit*>(), "2015"); }),
              QStringLiteral("2004-05-17T20:15"));
    for (const bool byClick : {false, true})
        EXPECT_EQ(WrittenIntoSecondAfter<TDate>(text("TDRC", "2004-05-17"), text("TDRC", "1999-01-02"),
                                                [&](TDate& in) { chooseShownDay(in, byClick); }),
                  QStringLiteral("2004-05-17"))
            << byClick;
    for (const bool byWheel : {false, true})
        EXPECT_EQ(WrittenIntoSecondAfter<TDate>(text("TDRC", "2004-05-17"), text("TDRC", "1999-01-02"),
                                                [&](TDate& in) { stepYearUp(in, byWheel); }),
                  QStringLiteral("2005-05-17"))
            << byWheel;
    EXPECT_EQ(WrittenIntoSecondAfter<TID3v2FrameComment>(CommentFrame(QStringLiteral("Note")),
                                                         CommentFrame(QStringLiteral("Other")),
                                                         [&](TID3v2FrameComment& in) { typeInto(in.Memo(), "Note"); }),
              QStringLiteral("Note"));
    EXPECT_EQ(WrittenIntoSecondAfter<TID3v2FrameUnKnown>(BodyFrame(QStringLiteral("PCNT"), QByteArray(4, '\x07')),
                                                         BodyFrame(QStringLiteral("PCNT"), QByteArray(4, '\x08')),
                                                         [](TID3v2FrameUnKnown& in) { in.KillData(); }),
              QStringLiteral("<none>"));
}
