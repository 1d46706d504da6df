#include "controls/UpDownEdit.h"

#include "support/RecordingPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// The tests read and type numbers with a point as decimal separator.
class UpDownEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_locale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(m_locale); }

    static void Wheel(QWidget* target, int delta)
    {
        QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

private:
    QLocale m_locale;
};

}

TEST_F(UpDownEditTest, PositionIsClampedFormattedAndAlwaysReported)
{
    TUpDownEdit edit;
    QSignalSpy changes(&edit, &TUpDownEdit::Changed);

    edit.SetPosition(150);
    EXPECT_EQ(edit.Position(), 100);
    EXPECT_EQ(edit.Edit()->text(), QStringLiteral("100.00"));
    EXPECT_EQ(changes.count(), 1);
    edit.SetPosition(100); // unchanged, still reported
    EXPECT_EQ(changes.count(), 2);

    edit.SetMin(5);
    edit.SetPosition(-3);
    EXPECT_EQ(edit.Position(), 5);

    TUpDownEdit whole;
    whole.SetDigits(0);
    whole.SetPosition(3.7);
    EXPECT_EQ(whole.Edit()->text(), QStringLiteral("4"));
    whole.SetMax(1048576);
    whole.SetPosition(1048576);
    EXPECT_EQ(whole.Edit()->text(), QStringLiteral("1048576")) << "no group separators";
}

TEST_F(UpDownEditTest, TypedValuesAreClampedAtOnceAndFormattedOnLeaving)
{
    TRecordingPrompt prompt;
    QWidget window;
    auto* edit = new TUpDownEdit(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    edit->Edit()->setFocus();
    QSignalSpy changes(edit, &TUpDownEdit::Changed);

    edit->Edit()->selectAll();
    QTest::keyClicks(edit->Edit(), QStringLiteral("250"));
    EXPECT_EQ(edit->Edit()->text(), QStringLiteral("250"));
    EXPECT_EQ(edit->Position(), 100) << "a dialog closed now must not see 250";
    const int changesWhileTyping = changes.count();
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->Edit()->text(), QStringLiteral("100.00"));
    EXPECT_EQ(changes.count(), changesWhileTyping) << "leaving reformats without a change";

    // An emptied edit means 0; text that is no number keeps the value.
    edit->Edit()->setFocus();
    edit->Edit()->selectAll();
    QTest::keyClick(edit->Edit(), Qt::Key_Backspace);
    EXPECT_EQ(edit->Position(), 0);
    edit->SetPosition(42);
    edit->Edit()->selectAll();
    edit->Edit()->insert(QStringLiteral("12abc"));
    emit edit->Edit()->textEdited(edit->Edit()->text()); // as a paste does
    EXPECT_EQ(edit->Position(), 42);
    edit->Edit()->setText(QStringLiteral("1e400"));
    emit edit->Edit()->textEdited(edit->Edit()->text());
    EXPECT_EQ(edit->Position(), 42) << "an overflow is no finite number";
    EXPECT_TRUE(prompt.Errors.isEmpty() && prompt.Informations.isEmpty() && prompt.Asked.isEmpty());
}

TEST_F(UpDownEditTest, KeyFilterRefusesWhatCannotBeANumber)
{
    TRecordingPrompt prompt;
    TUpDownEdit edit;
    edit.SetDigits(0);
    edit.Edit()->clear();
    QTest::keyClicks(edit.Edit(), QStringLiteral("1.5"));
    EXPECT_EQ(edit.Edit()->text(), QStringLiteral("15"));
    EXPECT_EQ(prompt.Beeps, 1);
    QTest::keyClicks(edit.Edit(), QStringLiteral("-"));
    EXPECT_EQ(edit.Edit()->text(), QStringLiteral("15")) << "no minus while Min is 0";
    EXPECT_EQ(prompt.Beeps, 2);

    TUpDownEdit signedEdit;
    signedEdit.SetMin(-10);
    signedEdit.Edit()->clear();
    QTest::keyClicks(signedEdit.Edit(), QStringLiteral("-2.5"));
    EXPECT_EQ(signedEdit.Position(), -2.5);
    // Editing keys pass.
    QTest::keyClick(signedEdit.Edit(), Qt::Key_Home);
    QTest::keyClick(signedEdit.Edit(), Qt::Key_Delete);
    EXPECT_EQ(signedEdit.Edit()->text(), QStringLiteral("2.5"));
    EXPECT_EQ(prompt.Beeps, 2);
}

TEST_F(UpDownEditTest, ButtonsKeysAndWholeWheelNotchesStep)
{
    TUpDownEdit edit;
    edit.SetIncrement(0.5);
    QSignalSpy clicks(&edit, &TUpDownEdit::Clicked);

    edit.UpButton()->click();
    edit.UpButton()->click();
    edit.DownButton()->click();
    EXPECT_EQ(edit.Position(), 0.5);
    EXPECT_EQ(clicks.count(), 3);
    QTest::keyClick(edit.Edit(), Qt::Key_Up);
    QTest::keyClick(edit.Edit(), Qt::Key_Up);
    QTest::keyClick(edit.Edit(), Qt::Key_Down);
    EXPECT_EQ(edit.Position(), 1.0);

    // A fine-grained wheel sends parts of a notch: three thirds make one step.
    for (int i = 0; i < 3; ++i)
        Wheel(edit.Edit(), 40);
    EXPECT_EQ(edit.Position(), 1.5);
    Wheel(edit.Edit(), -240);
    EXPECT_EQ(edit.Position(), 0.5);
    Wheel(&edit, 120); // over the buttons
    EXPECT_EQ(edit.Position(), 1.0);

    // Steps stay in range.
    for (int i = 0; i < 5; ++i)
        edit.StepDown();
    EXPECT_EQ(edit.Position(), 0);
}
