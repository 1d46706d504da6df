#include "FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameDateTime.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace {

std::unique_ptr<TID3v2FrameDateTime> Loaded(const QString& value, const QString& id = QStringLiteral("TDRC"),
                                            TID3Versions version = ivID3v2_4)
{
    return LoadedInput<TID3v2FrameDateTime>(id, value, version);
}

// Whether a picker's text field is painted in one colour only.
bool LooksBlank(QDateTimeEdit* picker)
{
    const QImage image = picker->findChild<QLineEdit*>()->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return false;
    return true;
}

}

TEST(DateTimeInput, LoadsToThePrecisionOfTheTextAndUnreadableDatesEmpty)
{
    auto year = Loaded(QStringLiteral("2004"));
    EXPECT_EQ(year->DateGenauigkeit(), gnYear);
    EXPECT_EQ(year->DatePicker()->text(), QStringLiteral("2004"));
    EXPECT_TRUE(year->IsShownBlank(year->TimePicker()));
    EXPECT_FALSE(year->IsDataChanged()) << "loading is no edit";

    auto full = Loaded(QStringLiteral("2004-05-17T20:15:30"));
    EXPECT_EQ(full->DatePicker()->text(), QStringLiteral("17.05.2004"));
    EXPECT_EQ(full->TimePicker()->text(), QStringLiteral("20:15:30"));
    EXPECT_EQ(WrittenText(*full), QStringLiteral("2004-05-17T20:15:30"));

    // Years before 1752 and up to 9999 are dates like any other.
    EXPECT_EQ(WrittenText(*Loaded(QStringLiteral("1700-03"))), QStringLiteral("1700-03"));
    EXPECT_EQ(WrittenText(*Loaded(QStringLiteral("9999-12-31T23:59:59"))), QStringLiteral("9999-12-31T23:59:59"));

    // Unreadable dates load empty.
    for (const char* text : {"", "20x4", "2004-02-30", "2004-13", "2004-05-17T24:00", "0050", "0000"}) {
        auto input = Loaded(QString::fromLatin1(text));
        EXPECT_EQ(input->DateGenauigkeit(), gnNone) << text;
        EXPECT_EQ(input->GetFrame(), nullptr) << text;
        EXPECT_TRUE(input->IsShownBlank(input->DatePicker())) << text;
    }
}

TEST(DateTimeInput, TagVersionLimitsThePrecision)
{
    auto tdrc = Loaded(QStringLiteral("2004-05-17T20:15:30"), QStringLiteral("TDRC"), ivID3v2_3);
    EXPECT_EQ(tdrc->DateGenauigkeitMax(), gnMinute);
    EXPECT_EQ(tdrc->DateGenauigkeit(), gnMinute);
    EXPECT_EQ(WrittenText(*tdrc), QStringLiteral("2004-05-17T20:15"));
    // The same long value in another file is no difference once cut.
    const TID3Frame same = TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2004-05-17T20:15:30")});
    tdrc->AddFrame(&same);
    EXPECT_FALSE(tdrc->IsDifferent());
    const TID3Frame later = TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2004-05-17T20:16")});
    tdrc->AddFrame(&later);
    EXPECT_TRUE(tdrc->IsDifferent());

    auto tdor = Loaded(QStringLiteral("2004-05-17T20:15:30"), QStringLiteral("TDOR"), ivID3v2_3);
    EXPECT_EQ(WrittenText(*tdor), QStringLiteral("2004"));
    EXPECT_EQ(Loaded(QStringLiteral("2004-05"), QStringLiteral("TDRC"), ivID3v1)->DateGenauigkeitMax(), gnYear);

    // At the maximum a finer precision is refused, but it counts as an edit.
    EXPECT_FALSE(tdor->IsDataChanged());
    tdor->IncPrecision();
    EXPECT_EQ(tdor->DateGenauigkeit(), gnYear);
    EXPECT_TRUE(tdor->IsDataChanged());
}

TEST(DateTimeInput, DifferentFilesShowNothingUntilFocused)
{
    auto input = Loaded(QStringLiteral("2004-05-17T20:15"));
    ASSERT_TRUE(ShownActive(input.get()));
    // Showing the window focused the date picker.
    input->DatePicker()->clearFocus();
    EXPECT_FALSE(LooksBlank(input->DatePicker()));
    EXPECT_FALSE(LooksBlank(input->TimePicker()));
    const TID3Frame other = TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2005")});
    input->AddFrame(&other);
    EXPECT_TRUE(input->IsDifferent());
    EXPECT_TRUE(LooksBlank(input->DatePicker()));
    EXPECT_TRUE(LooksBlank(input->TimePicker()));
    // The calendar shows days to choose, no file's value: it stays readable.
    const QPalette calendar = input->DatePicker()->calendarWidget()->palette();
    EXPECT_EQ(calendar.color(QPalette::Active, QPalette::Base), input->palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(calendar.color(QPalette::Active, QPalette::Text), input->palette().color(QPalette::Active, QPalette::Text));
    input->DatePicker()->setFocus();
    EXPECT_FALSE(LooksBlank(input->DatePicker())) << "the first file's value shows while focused";
    EXPECT_FALSE(LooksBlank(input->TimePicker()));
    EXPECT_FALSE(input->IsDataChanged());
}

TEST(DateTimeInput, APrecisionStepOverDifferentDatesStepsEachFilesOwnDate)
{
    const TID3Frame day = TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2005-04-06")});
    const TID3Frame year = TextFrame(QStringLiteral("TDRC"), {QStringLiteral("2005")});
    auto input = Loaded(QStringLiteral("2005"));
    input->AddFrame(&day);
    input->AddFrame(nullptr);
    input->IncPrecision();
    ASSERT_TRUE(input->KeepsEachFilesPart());
    // (both were written as "2005-01" before)
    EXPECT_EQ(FrameText(input->GetFrameFor(&day)), QStringLiteral("2005-04-06T00"));
    EXPECT_EQ(FrameText(input->GetFrameFor(&year)), QStringLiteral("2005-01"));
    EXPECT_EQ(FrameText(input->GetFrameFor(nullptr)), QStringLiteral("<none>"));
    input->DecPrecision();
    input->DecPrecision();
    EXPECT_EQ(FrameText(input->GetFrameFor(&day)), QStringLiteral("2005-04"));
    EXPECT_EQ(FrameText(input->GetFrameFor(&year)), QStringLiteral("<none>"));

    // A date set for all is every file's date.
    input->SetDateTime(QDateTime(QDate(2010, 2, 3), QTime(4, 5, 6)));
    EXPECT_FALSE(input->KeepsEachFilesPart());
    EXPECT_EQ(FrameText(input->GetFrameFor(&day)), QStringLiteral("2010-02-03T04:05:06"));
}

TEST(DateTimeInput, TypingIntoAnEmptyDateStartsTheYear)
{
    auto input = Loaded(QString());
    ASSERT_TRUE(ShownActive(input.get()));
    QDateEdit* date = input->DatePicker();
    date->setFocus();
    // Nothing the picker hides may change without a part to show.
    QTest::keyClick(date, Qt::Key_Up);
    QTest::keyClick(date, Qt::Key_Delete);
    EXPECT_FALSE(input->IsDataChanged());
    EXPECT_EQ(input->GetFrame(), nullptr);

    QTest::keyClick(date, Qt::Key_1);
    EXPECT_EQ(input->DateGenauigkeit(), gnYear);
    EXPECT_TRUE(date->text().startsWith(QLatin1Char('1')));
    EXPECT_TRUE(input->IsDataChanged());
    QTest::keyClicks(date, QStringLiteral("999"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("1999"));

    // A separator adds the month, shown first; then the day.
    QTest::keyClick(date, Qt::Key_Period);
    EXPECT_EQ(input->DateGenauigkeit(), gnMonth);
    QTest::keyClicks(date, QStringLiteral("07"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("1999-07"));
    QTest::keyClick(date, Qt::Key_Period);
    QTest::keyClicks(date, QStringLiteral("04"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("1999-07-04"));
}

TEST(DateTimeInput, TypingIntoTheTimeStartsTheHour)
{
    auto input = Loaded(QStringLiteral("2004-05-17"));
    ASSERT_TRUE(ShownActive(input.get()));
    QTimeEdit* time = input->TimePicker();
    time->setFocus();
    QTest::keyClick(time, Qt::Key_Up);
    EXPECT_FALSE(input->IsDataChanged()) << "the hidden time cannot be stepped";
    QTest::keyClicks(time, QStringLiteral("21"));
    EXPECT_EQ(input->DateGenauigkeit(), gnHour);
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2004-05-17T21"));
    QTest::keyClick(time, Qt::Key_Colon);
    QTest::keyClicks(time, QStringLiteral("45"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2004-05-17T21:45"));

    // Without an hour in the tag version, typing changes nothing.
    auto tdor = Loaded(QStringLiteral("2004"), QStringLiteral("TDOR"), ivID3v2_3);
    ASSERT_TRUE(ShownActive(tdor.get()));
    tdor->TimePicker()->setFocus();
    QTest::keyClicks(tdor->TimePicker(), QStringLiteral("21"));
    EXPECT_EQ(WrittenText(*tdor), QStringLiteral("2004"));
}

TEST(DateTimeInput, DeletingAPartIsAnEdit)
{
    auto input = Loaded(QStringLiteral("2004"));
    ASSERT_TRUE(ShownActive(input.get()));
    input->DatePicker()->setFocus();
    QTest::keyClick(input->DatePicker(), Qt::Key_Backspace);
    EXPECT_EQ(input->DateGenauigkeit(), gnNone);
    EXPECT_TRUE(input->IsDataChanged()) << "otherwise the deletion would not be saved";
    EXPECT_EQ(input->GetFrame(), nullptr);

    auto timed = Loaded(QStringLiteral("2004-05-17T20"));
    ASSERT_TRUE(ShownActive(timed.get()));
    timed->TimePicker()->setFocus();
    QTest::keyClick(timed->TimePicker(), Qt::Key_Delete);
    EXPECT_EQ(timed->DateGenauigkeit(), gnDay);
    EXPECT_TRUE(timed->IsDataChanged());
    EXPECT_EQ(WrittenText(*timed), QStringLiteral("2004-05-17"));
}

TEST(DateTimeInput, ButtonsAndCommandsChangeThePrecision)
{
    auto input = Loaded(QStringLiteral("2004-05-17T20:15"));
    QTest::mouseClick(input->LessButton(), Qt::LeftButton);
    EXPECT_TRUE(input->IsDataChanged());
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2004-05-17T20"));
    QTest::mouseClick(input->MoreButton(), Qt::LeftButton);
    QTest::mouseClick(input->MoreButton(), Qt::LeftButton);
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2004-05-17T20:15:00"));
    input->SetDateGenauigkeit(gnNone);
    EXPECT_EQ(input->GetFrame(), nullptr);

    auto now = Loaded(QString(), QStringLiteral("TDTG"), ivID3v2_3);
    now->SetDateTime(QDateTime(QDate(2010, 3, 28), QTime(2, 30, 45)));
    EXPECT_TRUE(now->IsDataChanged());
    EXPECT_EQ(WrittenText(*now), QStringLiteral("2010-03-28T02:30")) << "the wall-clock time, to the minute";
}

TEST(DateTimeInput, ClosingTheCalendarOfAnEmptyDateSetsADay)
{
    auto input = Loaded(QString());
    ASSERT_TRUE(ShownActive(input.get()));
    QDateEdit* date = input->DatePicker();
    QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 5, date->height() / 2));
    QWidget* popup = date->calendarWidget()->window();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(input->DateGenauigkeit(), gnNone);
    popup->hide();
    EXPECT_EQ(input->DateGenauigkeit(), gnDay);
    EXPECT_TRUE(input->IsDataChanged());
    EXPECT_EQ(WrittenText(*input), date->date().toString(QStringLiteral("yyyy-MM-dd")));
}
