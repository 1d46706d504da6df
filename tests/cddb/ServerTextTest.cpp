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
