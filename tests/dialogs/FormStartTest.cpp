// The start screen on its own, and the guarded run of event handlers.

#include "support/gui/MainWindowTestSupport.h"

#include "controls/Guarded.h"
#include "dialogs/FormStart.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTest>

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
    start->Timer1.setInterval(1);
    start->show();
    EXPECT_TRUE(start->Timer1.isActive());
    for (int i = 0; i < 200 && start; ++i) {
        QTest::qWait(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(start.isNull());

    RunGuarded(nullptr, [] { throw std::runtime_error("Can not get frame content as text."); });
    EXPECT_EQ(Env.Prompt.Errors, QStringList({"Can not get frame content as text."}));
}
