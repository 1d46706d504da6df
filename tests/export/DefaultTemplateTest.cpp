#include "export/DefaultTemplate.h"

#include <gtest/gtest.h>

// The pages themselves are read in a browser by the HTML export tests; these
// are the forms they do not reach.
TEST(DefaultTemplate, FormsFollowTheChoices)
{
    // Without a group field a page per group means nothing: one plain table.
    const QString plain = BuildDefaultTemplate({"TIT2", "NONE", "*FIN"}, {true}, QString(), true, false);
    EXPECT_EQ(plain, BuildDefaultTemplate({"TIT2", "NONE", "*FIN"}, {true}, QString(), false, false));
    EXPECT_FALSE(plain.contains(QStringLiteral("begingroup")));
    EXPECT_FALSE(plain.contains(QStringLiteral("NONE"))) << "unknown columns are left out";

    // The group header cell spans all columns but one, and never less than one.
    const QString single = BuildDefaultTemplate({"TIT2"}, {}, QStringLiteral("TPE1"), false, false);
    EXPECT_EQ(single.count(QStringLiteral(R"(colspan="1")")), 2);
}
