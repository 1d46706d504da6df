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
