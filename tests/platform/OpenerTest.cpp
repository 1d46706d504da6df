// The desktop's opener, played by a script that fails or stays as xdg-open
// does.
#include "platform/Opener.h"

#include "support/FakeOpenerProgram.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(Opener, AnOpenerThatFailsIsReportedOneThatStaysNeverBlocksNorIsBlamed)
{
    // A name with a blank, a "#" and a byte that is not UTF-8 reaches the
    // opener as one encoded address.
    const QUrl url = QUrl::fromEncoded("file:///music/a%20b%23%E9.mp3");
    const struct {
        const char* Name;
        QByteArray Commands;
        bool Fails;
    } cases[] = {
        {"no program for the address", "exit 3", true},
        {"opened", "exit 0", false},
        {"stays while the program runs, then fails", "sleep 2; exit 4", false},
        {"killed at once", "kill -9 $$", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFakeOpenerProgram program(c.Commands);
        const TScopedOpener opener(DesktopOpener(program.Path(), 500ms));
        int failures = 0;
        QElapsedTimer clock;
        clock.start();
        OpenWithDesktop(url, [&] { ++failures; });
        EXPECT_LT(clock.elapsed(), 250) << "never waits for the opener";
        // The event loop runs on meanwhile.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        ASSERT_TRUE(RunEventsUntil([&] { return !program.Calls().isEmpty(); }, 5000));
        EXPECT_EQ(program.Calls(), QList<QByteArray>{url.toEncoded()});
        RunEventsUntil([&] { return failures > 0; }, c.Fails ? 5000 : 2600);
        EXPECT_EQ(failures, c.Fails ? 1 : 0);
        if (!c.Fails) {
            EXPECT_GT(ticks, 50);
        }
    }

    // An opener that cannot be started at all.
    const TScopedOpener missing(DesktopOpener(QStringLiteral("/nonexistent/xdg-open"), 500ms));
    int failures = 0;
    OpenWithDesktop(url, [&] { ++failures; });
    EXPECT_TRUE(RunEventsUntil([&] { return failures == 1; }, 5000));

    // Without a call back of its own the installed report is told.
    QList<QUrl> reported;
    const TOpenFailureReport previous = SetOpenFailureReport([&](const QUrl& failed) { reported << failed; });
    OpenWithDesktop(url);
    EXPECT_TRUE(RunEventsUntil([&] { return !reported.isEmpty(); }, 5000));
    EXPECT_EQ(reported, QList<QUrl>{url});
    SetOpenFailureReport(previous);
}
