#include "FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameComment.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

namespace {

std::unique_ptr<TID3v2FrameComment> Loaded(const TID3Frame& frame, TID3Versions version = ivID3v2_4)
{
    auto input = MakeInput<TID3v2FrameComment>(QStringLiteral("COMM"), version);
    input->AddFrame(&frame);
    return input;
}

}

TEST(CommentInput, LabelsShowDescriptionAndLanguage)
{
    auto input = Loaded(CommentFrame(QStringLiteral("Nice"), QStringLiteral("eng")));
    EXPECT_EQ(input->Memo()->toPlainText(), QStringLiteral("Nice"));
    EXPECT_EQ(input->DescriptionLabel()->text(), QStringLiteral("Description: [none]"));
    EXPECT_EQ(input->LanguageLabel()->text(), QStringLiteral("Language: English"));
    EXPECT_FALSE(input->IsDataChanged()) << "loading is no edit";

    const TID3Frame odd = CommentFrame(QStringLiteral("x"), QStringLiteral("qqq"), QStringLiteral("Liner"));
    input->Clear();
    input->AddFrame(&odd);
    EXPECT_EQ(input->DescriptionLabel()->text(), QStringLiteral("Description: Liner"));
    EXPECT_EQ(input->LanguageLabel()->text(), QStringLiteral("Language: [unknown]"));
}

TEST(CommentInput, OnlyTheTextIsCompared)
{
    auto input = Loaded(CommentFrame(QStringLiteral("line one\nline two"), QStringLiteral("eng"), QStringLiteral("a")));
    const TID3Frame other = CommentFrame(QStringLiteral("line one\r\nline two"), QStringLiteral("ger"),
                                         QStringLiteral("b"));
    input->AddFrame(&other);
    EXPECT_FALSE(input->IsDifferent());
    EXPECT_EQ(input->DescriptionLabel()->text(), QStringLiteral("Description: b")) << "the last file's";
    EXPECT_EQ(input->Language(), QStringLiteral("ger"));

    input->AddFrame(nullptr);
    EXPECT_TRUE(input->IsDifferent());
    EXPECT_EQ(input->Language(), QStringLiteral("ger")) << "a file without comment keeps the labels";
    EXPECT_FALSE(input->IsDataChanged());
}

TEST(CommentInput, ID3v1CutsToTwentyNineCharacters)
{
    const QString forty(40, QLatin1Char('c'));
    auto input = Loaded(CommentFrame(forty), ivID3v1);
    EXPECT_EQ(input->MemoText(), forty.left(29));
    // The same long comment in another file is no difference.
    const TID3Frame same = CommentFrame(forty);
    input->AddFrame(&same);
    EXPECT_FALSE(input->IsDifferent());

    // Typing stops at the limit.
    input->Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(input->Memo(), QStringLiteral("xyz"));
    EXPECT_EQ(input->MemoText(), forty.left(29));
    input->Memo()->moveCursor(QTextCursor::Start);
    QTest::keyClick(input->Memo(), Qt::Key_Delete);
    QTest::keyClicks(input->Memo(), QStringLiteral("AB"));
    EXPECT_EQ(input->MemoText(), QStringLiteral("A") + forty.left(28));
    EXPECT_TRUE(input->IsDataChanged());
}

TEST(CommentInput, UserTextBecomesTheFrame)
{
    auto input = Loaded(CommentFrame(QStringLiteral("old"), QStringLiteral("deu"), QStringLiteral("Notes")));
    input->Memo()->selectAll();
    QTest::keyClicks(input->Memo(), QStringLiteral("first"));
    QTest::keyClick(input->Memo(), Qt::Key_Return);
    QTest::keyClick(input->Memo(), Qt::Key_Return);
    QTest::keyClicks(input->Memo(), QStringLiteral("third "));
    EXPECT_TRUE(input->IsDataChanged());
    const TID3Frame* frame = input->GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Body(), QByteArray("\x00" "deu" "Notes\x00" "first\n\nthird ", 23));

    // Non-Latin text: UTF-16.
    TypeText(input->Memo(), QStringLiteral("日本"));
    EXPECT_EQ(static_cast<quint8>(input->GetFrame()->Body().at(0)), 1);
    EXPECT_EQ(input->MemoText(), QStringLiteral("first\n\nthird 日本"));

    // Blanks are a comment; an empty memo deletes it.
    input->Memo()->selectAll();
    QTest::keyClicks(input->Memo(), QStringLiteral("  "));
    EXPECT_NE(input->GetFrame(), nullptr);
    input->Memo()->selectAll();
    QTest::keyClick(input->Memo(), Qt::Key_Delete);
    EXPECT_EQ(input->GetFrame(), nullptr);
}

TEST(CommentInput, MemoEventsReachTheOwnerAsTheMemos)
{
    auto input = Loaded(CommentFrame(QStringLiteral("text")));
    QWidget* viewport = input->Memo()->viewport();
    QList<QWidget*> pressed;
    QObject::connect(input.get(), &TID3v2Frame::innerMouseDown,
                     [&](TID3v2Frame*, QWidget* inner) { pressed << inner; });
    QTest::mouseClick(viewport, Qt::LeftButton);
    EXPECT_EQ(pressed, QList<QWidget*>{input->Memo()});

    // Without a listener the input's own menu shows...
    QMenu menu;
    menu.addAction(QStringLiteral("Undo"));
    input->SetPopUpMenuControls(&menu);
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(viewport, &request);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    // ...with one, the owner decides.
    QList<QWidget*> asked;
    QObject::connect(input.get(), &TID3v2Frame::innerContextPopup,
                     [&](TID3v2Frame*, QWidget* inner, const QPoint&) { asked << inner; });
    QCoreApplication::sendEvent(viewport, &request);
    EXPECT_EQ(asked, QList<QWidget*>{input->Memo()});
    EXPECT_FALSE(menu.isVisible());
}
