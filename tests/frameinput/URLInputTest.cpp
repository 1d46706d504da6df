#include "FrameInputTestSupport.h"
#include "frameinput/ID3v2FrameURL.h"
#include "platform/Opener.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {

TID3Frame UrlFrame(const QString& id, const QString& url, const QString& description = {})
{
    TID3Frame frame(id);
    SetURLFrame(frame, description, url);
    return frame;
}

// Replaces the browser for one test and records what would be opened.
class TOpenedUrls {
public:
    QList<QUrl> Urls;

private:
    TScopedOpener m_opener{[this](const QUrl& url, const TOpenFailed&) {
        Urls << url;
    }};
};

QString Caption(TID3v2FrameURL& input)
{
    return input.findChild<QLabel*>()->text();
}

}

TEST(URLInput, LoadsComparesAndKeepsTheDescription)
{
    auto input = MakeInput<TID3v2FrameURL>(QStringLiteral("WXXX"));
    const TID3Frame shop = UrlFrame(QStringLiteral("WXXX"), QStringLiteral("http://shop.example/"),
                                    QStringLiteral("Shop"));
    input->AddFrame(&shop);
    EXPECT_EQ(Caption(*input), QStringLiteral("Shop:"));
    EXPECT_EQ(input->Edit()->text(), QStringLiteral("http://shop.example/"));
    EXPECT_FALSE(input->IsDataChanged()) << "loading is no edit";

    input->AddFrame(&shop);
    EXPECT_FALSE(input->IsDifferent());
    // The comparison is exact: a trailing blank is a difference.
    const TID3Frame blank = UrlFrame(QStringLiteral("WXXX"), QStringLiteral("http://shop.example/ "),
                                     QStringLiteral("Shop"));
    input->AddFrame(&blank);
    EXPECT_TRUE(input->IsDifferent());
    EXPECT_FALSE(input->IsDataChanged());

    // Typing: the description survives; a non-Latin description needs UTF-16,
    // the address itself stays 8-bit.
    input->SetDescription(QStringLiteral("Läden 日本"));
    input->Edit()->setFocus();
    QTest::keyClicks(input->Edit(), QStringLiteral("x"));
    EXPECT_TRUE(input->IsDataChanged());
    const TID3Frame* frame = input->GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->Body().endsWith(QByteArray("http://shop.example/x")));
    QString description;
    QString url;
    GetURLFrame(*frame, description, url);
    EXPECT_EQ(description, QStringLiteral("Läden 日本"));
    EXPECT_EQ(url, QStringLiteral("http://shop.example/x"));
}

TEST(URLInput, PlainLinkFramesAreTheAddressAlone)
{
    auto input = MakeInput<TID3v2FrameURL>(QStringLiteral("WOAR"));
    // However long, an address is shown whole.
    const QString longUrl = QStringLiteral("http://a.example/") + QString(40000, QLatin1Char('x'));
    const TID3Frame loaded = UrlFrame(QStringLiteral("WOAR"), longUrl);
    input->AddFrame(&loaded);
    EXPECT_EQ(input->Edit()->text(), longUrl);
    input->Clear();
    input->AddFrame(nullptr);
    QTest::keyClicks(input->Edit(), QStringLiteral("  http://artist.example  "));
    const TID3Frame* frame = input->GetFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Body(), QByteArray("http://artist.example"));

    // Blanks only delete the frame.
    input->Edit()->selectAll();
    QTest::keyClicks(input->Edit(), QStringLiteral("   "));
    EXPECT_EQ(input->GetFrame(), nullptr);
}

TEST(URLInput, OpensOnlyWebAndMailAddresses)
{
    TBeepCounter beeps;
    TOpenedUrls opened;
    auto input = MakeInput<TID3v2FrameURL>(QStringLiteral("WOAF"));
    input->AddFrame(nullptr);
    auto open = [&](const QString& text) {
        input->Edit()->setText(text);
        input->OpenURL();
    };

    open(QStringLiteral("   "));
    QTest::mouseClick(input->OpenButton(), Qt::LeftButton);
    EXPECT_EQ(beeps.Beeps, 2) << "blank addresses beep";
    EXPECT_TRUE(opened.Urls.isEmpty());

    open(QStringLiteral(" www.example.com/page "));
    open(QStringLiteral("HTTPS://secure.example/"));
    open(QStringLiteral("ftp://files.example/a.mp3"));
    open(QStringLiteral("mailto:band@example.com"));
    open(QStringLiteral("example.com:8080/x"));
    EXPECT_EQ(opened.Urls, QList<QUrl>({QUrl("http://www.example.com/page"), QUrl("https://secure.example/"),
                                        QUrl("ftp://files.example/a.mp3"), QUrl("mailto:band@example.com"),
                                        QUrl("http://example.com:8080/x")}));
    EXPECT_EQ(beeps.Beeps, 2);

    // Anything else only beeps.
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "smb://server/share", "C:\\music",
                                "data:text/html,<b>x</b>", "mailto:"})
        open(QString::fromLatin1(refused));
    EXPECT_EQ(opened.Urls.size(), 5);
    EXPECT_EQ(beeps.Beeps, 8);
    EXPECT_FALSE(input->IsDataChanged()) << "opening is no edit";
}
