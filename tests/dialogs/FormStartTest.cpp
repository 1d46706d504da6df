// The start screen on its own, and the guarded run of event handlers.

#include "support/gui/MainWindowTestSupport.h"

#include "controls/Guarded.h"
#include "dialogs/FormStart.h"

#include <QPointer>

#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

class MainWindowStartTest : public ::testing::Test {
protected:
    TMainWindowEnvironment Env;
};

}

TEST_F(MainWindowStartTest, TheStartScreenClosesItselfAndHandlersKeepTheirExceptions)
{
    QPointer<TFormStart> start = new TFormStart;
    EXPECT_FALSE(start->Timer1.isActive());
    EXPECT_EQ(start->Timer1.interval(), TFormStart::ShowMs);
    // Showing starts the timer. Showing may run pending events, so the timer
    // gets a time it cannot reach meanwhile...
    start->Timer1.setInterval(std::numeric_limits<int>::max());
    start->show();
    EXPECT_TRUE(start->Timer1.isActive());
    // ...and is then let run out: the window closes and frees itself.
    start->Timer1.start(0);
    EXPECT_TRUE(WaitUntil([&] { return start.isNull(); }));

    RunGuarded(nullptr, [] { throw std::runtime_error("Can not get frame content as text."); });
    EXPECT_EQ(Env.Prompt.Errors, QStringList({"Can not get frame content as text."}));
}
