#include "frameinput/CaptionLabel.h"
#include "frameinput/FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "tagengine/FrameCodecs.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>

TEST(FrameInputBase, StatesFromClearedToDifferentToChanged)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TIT2"));
    // Never fed: disabled, nothing to write.
    EXPECT_TRUE(edit->IsEmpty());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(edit->GetFrame(), nullptr);

    // A file without the frame loads the empty value and enables the control;
    // a later file with a value makes it different.
    edit->AddFrame(nullptr);
    EXPECT_FALSE(edit->IsEmpty());
    EXPECT_TRUE(edit->isEnabled());
    const TID3Frame title = TextFrame(QStringLiteral("TIT2"), {QStringLiteral("Song")});
    edit->AddFrame(&title);
    EXPECT_TRUE(edit->IsDifferent());
    EXPECT_FALSE(edit->IsDataChanged());

    // The user's value counts for every file.
    edit->DataChanged();
    EXPECT_FALSE(edit->IsDifferent());
    EXPECT_TRUE(edit->IsDataChanged());

    edit->Clear();
    EXPECT_FALSE(edit->IsDataChanged());
    EXPECT_TRUE(edit->IsEmpty());

    // The read-only mark is a change only when it changes.
    edit->AddFrame(&title);
    edit->SetFrameReadOnly(false);
    EXPECT_FALSE(edit->IsDataChanged());
}

TEST(TextInput, LoadingIsNotAnEditButTypingIs)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TPE1"));
    const TID3Frame artist = TextFrame(QStringLiteral("TPE1"), {QStringLiteral("First"), QStringLiteral("Second")});
    edit->AddFrame(&artist);
    // Every value shows, so that typing cannot drop one unseen.
    EXPECT_EQ(edit->Edit()->text(), QStringLiteral("First; Second"));
    EXPECT_FALSE(edit->IsDataChanged());
    edit->AddFrame(&artist);
    EXPECT_FALSE(edit->IsDifferent());
    // A file with only the first of the values holds another artist.
    const TID3Frame fewer = TextFrame(QStringLiteral("TPE1"), {QStringLiteral("First")});
    edit->AddFrame(&fewer);
    EXPECT_TRUE(edit->IsDifferent());
    edit->Clear();
    edit->AddFrame(&fewer);

    int signals_ = 0;
    QObject::connect(edit.get(), &TID3v2Frame::dataChangedByUser, [&] { ++signals_; });
    TypeText(edit->Edit(), QStringLiteral(" Ünï 日本"));
    EXPECT_TRUE(edit->IsDataChanged());
    EXPECT_GT(signals_, 0);

    TID3Frame* frame = edit->GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetFrameAsText(*frame), QStringLiteral("First Ünï 日本"));
    EXPECT_EQ(static_cast<quint8>(frame->Body().at(0)), 1) << "non-Latin text needs UTF-16";

    edit->Edit()->selectAll();
    QTest::keyClicks(edit->Edit(), QStringLiteral("   "));
    EXPECT_EQ(edit->GetFrame(), nullptr) << "blank text deletes the frame";
}

TEST(TextInput, UserDefinedTextKeepsItsDescription)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TXXX"));
    const TID3Frame mood = TextFrame(QStringLiteral("TXXX"), {QStringLiteral("calm")}, QStringLiteral("MOOD"));
    edit->AddFrame(&mood);
    QTest::keyClicks(edit->Edit(), QStringLiteral("er"));
    TID3Frame* frame = edit->GetFrame();
    ASSERT_NE(frame, nullptr);
    QString description;
    QStringList lines;
    GetTextFrame(*frame, description, lines);
    EXPECT_EQ(description, QStringLiteral("MOOD"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("calmer")});
}

TEST(TextInput, ALongCaptionIsShortenedInTheMiddleAndWholeInItsToolTip)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TXXX"));
    edit->SetEditLeft(110); // as in the main window
    edit->resize(600, edit->height());
    auto* caption = qobject_cast<TCaptionLabel*>(edit->findChild<QLabel*>());
    ASSERT_NE(caption, nullptr);
    const auto show = [&](const char* description) {
        edit->Clear();
        const TID3Frame frame = TextFrame(QStringLiteral("TXXX"), {QStringLiteral("x")}, QString::fromLatin1(description));
        edit->AddFrame(&frame);
        return caption->ShownText();
    };
    // Cut at their ends, the two showed the same "MusicBrainz Albu".
    const QString album = show("MusicBrainz Album Id");
    EXPECT_EQ(caption->text(), QStringLiteral("MusicBrainz Album Id:"));
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(album), caption->contentsRect().width());
    EXPECT_TRUE(album.startsWith(QStringLiteral("Mu")) && album.endsWith(QStringLiteral("Id:"))) << album.toStdString();
    EXPECT_NE(show("MusicBrainz Album Artist Id"), album);

    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), caption->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(caption, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("MusicBrainz Album Artist Id:"));
    EXPECT_EQ(show("MOOD"), QStringLiteral("MOOD:"));
}

TEST(TextInput, ANewDescriptionKeepsEachFilesValueUntilOneIsTyped)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TXXX"));
    const TID3Frame calm = TextFrame(QStringLiteral("TXXX"), {QStringLiteral("calm")}, QStringLiteral("MOOD"));
    const TID3Frame wild = TextFrame(QStringLiteral("TXXX"), {QStringLiteral("wild")}, QStringLiteral("MOOD"));
    edit->AddFrame(&calm);
    edit->AddFrame(&wild);
    edit->AddFrame(nullptr);
    edit->SetDescription(QStringLiteral("Mood"));
    ASSERT_TRUE(edit->KeepsEachFilesPart());
    QString description;
    QStringList lines;
    GetTextFrame(*edit->GetFrameFor(&wild), description, lines);
    EXPECT_EQ(description + QLatin1Char('=') + lines.join(QLatin1Char(',')), QStringLiteral("Mood=wild"));
    EXPECT_EQ(edit->GetFrameFor(nullptr), nullptr) << "a file without the field stays without";

    QTest::keyClicks(edit->Edit(), QStringLiteral("!"));
    EXPECT_FALSE(edit->KeepsEachFilesPart());
    GetTextFrame(*edit->GetFrameFor(&wild), description, lines);
    EXPECT_EQ(lines, QStringList{QStringLiteral("calm!")});
}

TEST(TextInput, LongTextsAreShownAndWrittenWholeUnderID3v2)
{
    // Lyrics pasted into a text frame: far beyond the edit's own default.
    const QString lyrics = QString(40000, QLatin1Char('l')) + QStringLiteral("end");
    auto edit = LoadedInput<TID3v2FrameEdit>(QStringLiteral("TIT3"), lyrics, ivID3v2_3);
    EXPECT_EQ(edit->Edit()->text(), lyrics);
    edit->Edit()->end(false);
    TypeText(edit->Edit(), QStringLiteral("!"));
    EXPECT_EQ(WrittenText(*edit), lyrics + QLatin1Char('!'));
    // ID3v1 keeps its 30 characters; the same long title in a second file
    // is no difference.
    auto v1 = LoadedInput<TID3v2FrameEdit>(QStringLiteral("TIT2"), lyrics, ivID3v1);
    EXPECT_EQ(v1->Edit()->text(), lyrics.left(30));
    const TID3Frame same = TextFrame(QStringLiteral("TIT2"), {lyrics});
    v1->AddFrame(&same);
    EXPECT_FALSE(v1->IsDifferent());
}

TEST(FrameInputBase, ALoadWhileDisabledDoesNotKeepTheDisabledLook)
{
    auto edit = MakeInput<TID3v2FrameEdit>(QStringLiteral("TIT2"));
    edit->SetWantEnabled(false);
    const TID3Frame title = TextFrame(QStringLiteral("TIT2"), {QStringLiteral("Song")});
    edit->AddFrame(&title);
    EXPECT_FALSE(edit->isEnabled());
    edit->SetWantEnabled(true);
    ASSERT_TRUE(edit->isEnabled());
    const QPalette shown = edit->Edit()->palette();
    const QPalette normal = edit->palette();
    EXPECT_EQ(shown.color(QPalette::Active, QPalette::Text), normal.color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(shown.color(QPalette::Active, QPalette::Base), normal.color(QPalette::Active, QPalette::Base));
}
