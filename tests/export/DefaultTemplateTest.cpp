#include "export/DefaultTemplate.h"

#include <gtest/gtest.h>

TEST(DefaultTemplate, FormsFollowTheChoices)
{
    // Without a group field a page per group means nothing: one plain table.
    const QString plain = BuildDefaultTemplate({"TIT2", "NONE", "*FIN"}, {true}, QString(), true, false);
    EXPECT_EQ(plain, BuildDefaultTemplate({"TIT2", "NONE", "*FIN"}, {true}, QString(), false, false));
    EXPECT_FALSE(plain.contains(QStringLiteral("begingroup")));
    EXPECT_FALSE(plain.contains(QStringLiteral("NONE"))) << "unknown columns are left out";
    EXPECT_EQ(plain.count(QStringLiteral("<#Content ID=")), 2);
    EXPECT_EQ(plain.count(QStringLiteral("<#MP3Link>")), 1);
    EXPECT_TRUE(plain.endsWith(QStringLiteral("</html>\r\n")));

    // Grouped on one page: the header cell spans all columns but one, and
    // never less than one.
    const QString grouped = BuildDefaultTemplate({"TIT2", "*FIN", "TALB"}, {}, QStringLiteral("TPE1"), false, false);
    EXPECT_EQ(grouped.count(QStringLiteral(R"(colspan="2")")), 2);
    EXPECT_TRUE(grouped.contains(QStringLiteral(R"(<#begingroup groupby="TPE1" loopinnewfile="false">)")));
    const QString single = BuildDefaultTemplate({"TIT2"}, {}, QStringLiteral("TPE1"), false, false);
    EXPECT_EQ(single.count(QStringLiteral(R"(colspan="1")")), 2);
    EXPECT_FALSE(single.contains(QStringLiteral(R"(colspan="0")")));

    // A page per group: the index table, then the group-page template with
    // its back links inside the page-file block.
    const QString index = BuildDefaultTemplate({"TIT2"}, {}, QStringLiteral("TALB"), true, false);
    const qsizetype block = index.indexOf(QStringLiteral("<#beginloopfile>"));
    ASSERT_GT(block, 0);
    EXPECT_TRUE(index.left(block).contains(QStringLiteral("<#groupfilename>")));
    EXPECT_FALSE(index.left(block).contains(QStringLiteral("Zur&uuml;ck")));
    EXPECT_EQ(index.mid(block).count(QStringLiteral("Zur&uuml;ck")), 2);
    EXPECT_TRUE(index.mid(block).contains(QStringLiteral("<#beginloop>")));
    EXPECT_TRUE(index.trimmed().endsWith(QStringLiteral("<#endloopfile>")));
}
