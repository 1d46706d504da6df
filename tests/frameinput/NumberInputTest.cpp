#include "FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameNumber.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

std::unique_ptr<TID3v2FrameNumber> Loaded(const QString& value, TID3Versions version = ivID3v2_4)
{
    return LoadedInput<TID3v2FrameNumber>(QStringLiteral("TRCK"), value, version);
}

}

TEST(NumberInput, DecodesNumberAndTotal)
{
    const struct {
        const char* Text;
        const char* Number;
        const char* Total;
    } cases[] = {{"5/12", "5", "12"}, {"05", "5", ""},        {"5 / 12", "5", ""}, {"/12", "", "12"},
                 {"A5", "", ""},      {"0/0", "", ""},        {"7/", "7", ""},     {"99999999999/3", "", "3"},
                 {"3000000000", "3000000000", ""}};
    for (const auto& c : cases) {
        auto input = Loaded(QString::fromLatin1(c.Text));
        EXPECT_EQ(input->NumberEdit()->text(), QString::fromLatin1(c.Number)) << c.Text;
        EXPECT_EQ(input->TotalEdit()->text(), QString::fromLatin1(c.Total)) << c.Text;
        EXPECT_FALSE(input->IsDataChanged()) << c.Text;
    }
}

TEST(NumberInput, ComparesNumbersAndWritesThem)
{
    auto input = Loaded(QStringLiteral("5/12"));
    const TID3Frame same = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("05/12")});
    input->AddFrame(&same);
    EXPECT_FALSE(input->IsDifferent()) << "compared as numbers";
    const TID3Frame other = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("5/13")});
    input->AddFrame(&other);
    EXPECT_TRUE(input->IsDifferent());
    EXPECT_FALSE(input->IsDataChanged());

    input->NumberEdit()->clear();
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("0"));
    EXPECT_TRUE(input->IsDataChanged());
    EXPECT_EQ(WrittenText(*input), QStringLiteral("0/12"));

    input->TotalEdit()->clear();
    EXPECT_EQ(input->GetFrame(), nullptr) << "both empty: the frame is deleted";
    QTest::keyClicks(input->TotalEdit(), QStringLiteral("9"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("0/9"));
}

TEST(NumberInput, ThePartTheFilesDisagreeOnStaysEachFilesOwnUnlessTyped)
{
    const TID3Frame second = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("2")});
    const TID3Frame third = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("3/10")});

    // An album's total typed over files numbered 1, 2, 3: each keeps its
    // number; typing the number too gives every file the same value again.
    auto input = Loaded(QStringLiteral("1/12"));
    input->AddFrame(&second);
    input->AddFrame(&third);
    input->TotalEdit()->selectAll();
    QTest::keyClicks(input->TotalEdit(), QStringLiteral("12"));
    ASSERT_TRUE(input->KeepsEachFilesPart());
    EXPECT_EQ(FrameText(input->GetFrameFor(&third)), QStringLiteral("3/12"));
    input->NumberEdit()->selectAll();
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("7"));
    EXPECT_FALSE(input->KeepsEachFilesPart());
    EXPECT_EQ(FrameText(input->GetFrameFor(&third)), QStringLiteral("7/12"));

    // A number typed over differing totals keeps each total; emptying the
    // number of a file without a total deletes its frame.
    input = Loaded(QStringLiteral("1/12"));
    input->AddFrame(&third);
    input->NumberEdit()->clear();
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("4"));
    EXPECT_EQ(FrameText(input->GetFrameFor(&third)), QStringLiteral("4/10"));
    input->NumberEdit()->clear();
    EXPECT_EQ(FrameText(input->GetFrameFor(nullptr)), QStringLiteral("<none>"));

    // Files that agree get the input's frame, loading forgets the typing.
    input = Loaded(QStringLiteral("5/12"));
    input->AddFrame(&second);
    QTest::keyClicks(input->TotalEdit(), QStringLiteral("3"));
    input->Clear();
    input->AddFrame(&third);
    EXPECT_FALSE(input->KeepsEachFilesPart());
}

TEST(NumberInput, TakesOnlyDigitsUpToTheMaximum)
{
    auto input = Loaded(QString());
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("1x2 "));
    EXPECT_EQ(input->NumberEdit()->text(), QStringLiteral("12")) << "other characters are swallowed";

    // Pasted text loses what is not a digit.
    input->NumberEdit()->clear();
    QApplication::clipboard()->setText(QStringLiteral("1a2"));
    QTest::keyClick(input->NumberEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(input->NumberEdit()->text(), QStringLiteral("12"));

    // Anything larger than the maximum, however long, becomes the maximum.
    input->NumberEdit()->setText(QStringLiteral("2147483647"));
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("0"));
    EXPECT_EQ(input->NumberEdit()->text(), QStringLiteral("2147483647"));
    QApplication::clipboard()->setText(QStringLiteral("99999999999999999999 tracks"));
    QTest::keyClick(input->TotalEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(input->TotalEdit()->text(), QStringLiteral("2147483647"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2147483647/2147483647"));
}

TEST(NumberInput, ID3v1HasNoTotalAndAMaximumOf255)
{
    auto input = Loaded(QStringLiteral("5/12"), ivID3v1);
    EXPECT_TRUE(input->TotalEdit()->isHidden());

    // The tag keeps no total, so the same track with a total is no difference.
    const TID3Frame same = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("5/12")});
    input->AddFrame(&same);
    EXPECT_FALSE(input->IsDifferent());
    const TID3Frame other = TextFrame(QStringLiteral("TRCK"), {QStringLiteral("6/12")});
    input->AddFrame(&other);
    EXPECT_TRUE(input->IsDifferent());

    input->NumberEdit()->clear();
    QTest::keyClicks(input->NumberEdit(), QStringLiteral("300"));
    EXPECT_EQ(input->NumberEdit()->text(), QStringLiteral("255"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("255"));
}

TEST(NumberInput, StepsWithArrowsAndButtons)
{
    TBeepCounter beeps;
    auto input = Loaded(QStringLiteral("1/2"));
    QLineEdit* number = input->NumberEdit();

    QTest::keyClick(number, Qt::Key_Down);
    EXPECT_TRUE(number->text().isEmpty()) << "down on 1 empties the edit";
    EXPECT_TRUE(input->IsDataChanged());
    QTest::keyClick(number, Qt::Key_Down);
    EXPECT_EQ(beeps.Beeps, 1) << "down on an empty edit beeps";
    EXPECT_TRUE(number->text().isEmpty());

    QTest::keyClick(number, Qt::Key_Up);
    QTest::keyClick(number, Qt::Key_Up);
    EXPECT_EQ(number->text(), QStringLiteral("2"));
    EXPECT_EQ(number->selectedText(), QStringLiteral("2"));
    QTest::keyClick(number, Qt::Key_Up, Qt::ShiftModifier); // no step
    EXPECT_EQ(number->text(), QStringLiteral("2"));

    QTest::mouseClick(input->UpButton(input->TotalEdit()), Qt::LeftButton);
    EXPECT_EQ(input->TotalEdit()->text(), QStringLiteral("3"));
    EXPECT_EQ(WrittenText(*input), QStringLiteral("2/3"));

    // At the maximum a step up is refused.
    auto v1 = Loaded(QStringLiteral("255"), ivID3v1);
    QTest::mouseClick(v1->UpButton(v1->NumberEdit()), Qt::LeftButton);
    EXPECT_EQ(v1->NumberEdit()->text(), QStringLiteral("255"));
    EXPECT_EQ(beeps.Beeps, 2);
    EXPECT_FALSE(v1->IsDataChanged());
}
