// The help seam: the newest handler still installed shows the page.
#include "platform/Help.h"

#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <memory>

TEST(Help, ScopesEndingInAnyOrderNeverLeaveAGoneHandlerBehind)
{
    TRecordingPrompt prompt;
    QStringList shown;
    auto first = std::make_unique<TScopedHelpHandler>([&](const QString& page) { shown << "first " + page; });
    auto second = std::make_unique<TScopedHelpHandler>([&](const QString& page) { shown << "second " + page; });
    EXPECT_TRUE(ShowHelpPage(QStringLiteral("a.htm")));
    // The older scope ends first, as a window replaced by a new one does.
    first.reset();
    EXPECT_TRUE(ShowHelpPage(QStringLiteral("b.htm")));
    second.reset();
    EXPECT_FALSE(ShowHelpPage(QStringLiteral("c.htm")));
    EXPECT_EQ(shown, QStringList({"second a.htm", "second b.htm"}));
    EXPECT_EQ(prompt.Beeps, 1);
}
