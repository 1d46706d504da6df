#include "cddb/ServerText.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ServerTextTest, ALongOrBinaryLineIsShownShortAndPrintableWithTheWholeUnderDetails)
{
    // Short and printable: shown as it is, without its line end.
    TServerText text = TServerText::Of(QStringLiteral("  403 Database entry is corrupt.\r\n"));
    EXPECT_EQ(text.Shown, QStringLiteral("403 Database entry is corrupt."));
    EXPECT_TRUE(text.Details.isEmpty());

    // Control characters, a bidirectional override and line breaks inside.
    text = TServerText::Of(QString::fromUtf8("401 a\x01" "b\x7f\xc2\x9b\xe2\x80\xae" "c\r\nd\te"));
    EXPECT_EQ(text.Shown, QString::fromUtf8("401 a\xef\xbf\xbd" "b\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" "c d e"));
    // Line and paragraph separators break no message.
    text = TServerText::Of(QStringLiteral("402 a\u2028" "b\u2029" "c"));
    EXPECT_EQ(text.Shown, QStringLiteral("402 a\ufffd" "b\ufffd" "c"));

    // Cut on a whole character: a surrogate pair straddling the limit goes.
    const QString emoji = QString::fromUtf8("\xf0\x9f\x8e\xb5");
    const QString line = QString(TServerText::MaxShownChars - 1, QLatin1Char('x')) + emoji + QStringLiteral("\n") +
                         QString(5000, QLatin1Char('y'));
    text = TServerText::Of(line);
    EXPECT_EQ(text.Shown, QString(TServerText::MaxShownChars - 1, QLatin1Char('x')) + QStringLiteral("\u2026"));
    EXPECT_EQ(text.Details, line);

    // Details too have their limit.
    text = TServerText::Of(QString(100000, QLatin1Char('z')));
    EXPECT_EQ(text.Details.size(), TServerText::MaxDetailChars + 1);
    EXPECT_TRUE(text.Details.endsWith(QStringLiteral("z\u2026")));
}

TEST(ServerTextTest, KeptTextLosesControlAndSteeringCharactersButNoWords)
{
    // A run of controls or separators is one blank; steering characters go.
    EXPECT_EQ(TServerText::Clean(QStringLiteral("Nul") + QChar(0) + QStringLiteral("Title") + QChar(0) + QChar(0) +
                                 QStringLiteral("end")),
              QStringLiteral("Nul Title end"));
    EXPECT_EQ(TServerText::Clean(QStringLiteral("\x1b[1mBold\x07\t\u2028\u2029x\u202ey\u200bz\ufeff")),
              QStringLiteral(" [1mBold xyz"));
    // Joiners, emoji (surrogate pairs) and scripts stay as they are; a lone
    // surrogate is marked.
    const QString joined = QString::fromUtf8("\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb \xd9\x85\xe2\x80\x8c\xd9\x8a");
    EXPECT_EQ(TServerText::Clean(joined), joined);
    EXPECT_EQ(TServerText::Clean(QString(QChar(0xd800)) + QStringLiteral("a")), QStringLiteral("\ufffda"));
}

TEST(ServerTextTest, KeptTextKeepsTheFormatCharactersThatTextsAreWrittenWith)
{
    // Right-to-left titles with their directional marks, and the visible
    // signs that stand before numbers in Arabic and Syriac.
    const QString marked = QStringLiteral("\u0627\u0644\u0641\u062c\u0631 \u200fLive\u200e 2 \u061c\u0661");
    EXPECT_EQ(TServerText::Clean(marked), marked);
    const QString signs = QStringLiteral("\u0600\u0661\u0662 \u0601 \u0602 \u0603 \u0604 \u0605 \u06dd\u0663 "
                                         "\u070f\u0710 \u08e2 soft\u00adhyphen");
    EXPECT_EQ(TServerText::Clean(signs), signs);
    // A flag of tag characters (Scotland, England) stays a flag.
    const QString scotland = QString::fromUtf8("\xf0\x9f\x8f\xb4\xf3\xa0\x81\xa7\xf3\xa0\x81\xa2\xf3\xa0\x81\xb3"
                                               "\xf3\xa0\x81\xa3\xf3\xa0\x81\xb4\xf3\xa0\x81\xbf");
    const QString england = QString::fromUtf8("\xf0\x9f\x8f\xb4\xf3\xa0\x81\xa7\xf3\xa0\x81\xa2\xf3\xa0\x81\xa5"
                                              "\xf3\xa0\x81\xae\xf3\xa0\x81\xa7\xf3\xa0\x81\xbf");
    EXPECT_EQ(TServerText::Clean(scotland + QStringLiteral(" Flower of ") + england), scotland + QStringLiteral(" Flower of ") + england);

    // Tag characters that spell hidden words go, also behind a flag; so do
    // isolates, the deprecated shaping controls and interlinear annotations.
    const auto tags = [](const char* ascii) {
        QString text;
        for (const char* c = ascii; *c; ++c) {
            const char32_t tag = 0xE0000 + char32_t(*c);
            text += QString::fromUcs4(&tag, 1);
        }
        return text;
    };
    const QString cancel = QString::fromUcs4(U"\U000E007F", 1);
    const QString flag = QString::fromUcs4(U"\U0001F3F4", 1);
    EXPECT_EQ(TServerText::Clean(QStringLiteral("A") + tags("hidden words") + cancel + QStringLiteral("B")),
              QStringLiteral("AB"));
    EXPECT_EQ(TServerText::Clean(flag + tags("gbsctlandia") + cancel), flag);
    EXPECT_EQ(TServerText::Clean(flag + tags("gbsct")), flag) << "no cancel tag";
    EXPECT_EQ(TServerText::Clean(flag + tags("GBSCT") + cancel), flag) << "no code of a region";
    EXPECT_EQ(TServerText::Clean(QStringLiteral("a\u2066b\u2067c\u2068d\u2069e\u202af\u202bg\u202ch\u202di")),
              QStringLiteral("abcdefghi"));
    EXPECT_EQ(TServerText::Clean(QStringLiteral("a\u206ab\u206fc\ufff9d\ufffae\ufffbf\u2060g\u2062h")),
              QStringLiteral("abcdefgh"));
}

TEST(ServerTextTest, AValueIsCutOnAWholeCharacterAndSaysSo)
{
    const qsizetype most = TServerText::MaxValueChars;
    QString value(most, QLatin1Char('x'));
    EXPECT_FALSE(TServerText::Bound(value));
    EXPECT_EQ(value, QString(most, QLatin1Char('x')));

    value = QString(1000000, QLatin1Char('y'));
    EXPECT_TRUE(TServerText::Bound(value));
    EXPECT_EQ(value, QString(most - 1, QLatin1Char('y')) + QStringLiteral("\u2026"));

    // A letter with its mark, an emoji with its joiner: whole or not at
    // all; blanks before the cut go.
    const QString marked = QStringLiteral("e\u0301");
    value = QString(most - 2, QLatin1Char('z')) + marked + QStringLiteral("tail");
    EXPECT_TRUE(TServerText::Bound(value));
    EXPECT_EQ(value, QString(most - 2, QLatin1Char('z')) + QStringLiteral("\u2026"));
    const QString family = QString::fromUtf8("\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb");
    value = QString(most - 4, QLatin1Char('z')) + QStringLiteral("  ") + family + family;
    EXPECT_TRUE(TServerText::Bound(value));
    EXPECT_EQ(value, QString(most - 4, QLatin1Char('z')) + QStringLiteral("\u2026"));
}
