#include "FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameUnKnown.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

TEST(UnknownInput, PreviewShowsTheFirstBytes)
{
    QByteArray body;
    for (int i = 0; i < 2000; ++i)
        body.append(char(i % 256));
    auto input = MakeInput<TID3v2FrameUnKnown>(QStringLiteral("PRIV"));
    const TID3Frame frame = BodyFrame(QStringLiteral("PRIV"), body);
    input->AddFrame(&frame);
    const QString preview = input->Preview()->text();
    ASSERT_EQ(preview.size(), 301);
    EXPECT_EQ(preview.left(33), QString(32, QLatin1Char('.')) + QLatin1Char(' '));
    EXPECT_EQ(preview.at(128), QChar(0x20AC)) << "0x80 is the euro sign in Windows-1252";
    EXPECT_EQ(preview.at(129), QLatin1Char('.')) << "0x81 has no character";
    EXPECT_FALSE(input->IsDataChanged());

    input->Clear();
    EXPECT_TRUE(input->Preview()->text().isEmpty());
    EXPECT_EQ(input->GetFrame(), nullptr);
}

TEST(UnknownInput, ComparesWholeBodies)
{
    auto input = MakeInput<TID3v2FrameUnKnown>(QStringLiteral("PCNT"));
    const TID3Frame one = BodyFrame(QStringLiteral("PCNT"), QByteArray(1, '\x01'));
    const TID3Frame same = BodyFrame(QStringLiteral("PCNT"), QByteArray(1, '\x01'));
    const TID3Frame two = BodyFrame(QStringLiteral("PCNT"), QByteArray(1, '\x02'));
    input->AddFrame(&one);
    input->AddFrame(&same);
    EXPECT_FALSE(input->IsDifferent());
    input->AddFrame(&two);
    EXPECT_TRUE(input->IsDifferent());
}

TEST(UnknownInput, ReadOnlyToggleKeepsTheBodyFetchedOrNotAndDeletingDropsIt)
{
    QByteArray picture("\x00image/png\x00\x03\x00\x89PNG", 16);
    TID3Frame frame = BodyFrame(QStringLiteral("APIC"), picture);
    frame.GroupId = 7;
    auto input = MakeInput<TID3v2FrameUnKnown>(QStringLiteral("APIC"));
    input->AddFrame(&frame);

    input->SetFrameReadOnly(true);
    EXPECT_TRUE(input->IsDataChanged());
    const TID3Frame* written = input->GetFrame();
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->Body(), picture);
    EXPECT_TRUE(written->ReadOnly);
    EXPECT_EQ(written->GroupId, 7);

    input->Clear();
    input->AddFrame(&frame);
    EXPECT_FALSE(input->IsDataChanged());
    QTest::mouseClick(input->DeleteButton(), Qt::LeftButton);
    EXPECT_TRUE(input->IsDataChanged());
    EXPECT_TRUE(input->Preview()->text().isEmpty());
    EXPECT_EQ(input->GetFrame(), nullptr);

    // The file changed since it was read: the picture cannot be fetched, yet
    // it is not taken for deleted.
    class TGoneSource : public TFrameBodySource {
    public:
        std::optional<QByteArray> Load() const override { return std::nullopt; }
    };
    TID3Frame gone(QStringLiteral("APIC"));
    gone.SetDeferredBody(std::make_shared<TGoneSource>(), 5000);
    input->Clear();
    input->AddFrame(&gone);
    input->SetFrameReadOnly(true);
    written = input->GetFrame();
    ASSERT_NE(written, nullptr) << "a null frame would delete the picture";
    EXPECT_FALSE(written->BodyAvailable()) << "the writer refuses it";
}
