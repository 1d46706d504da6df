// The desktop's opener, played by a script that fails or stays as xdg-open
// does.
#include "platform/Opener.h"

#include "support/FakeOpenerProgram.h"

#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(Opener, AnOpenerThatFailsIsReportedOneThatStaysNeverBlocksNorIsBlamed)
{
    // A name with a blank, a "#" and a byte that is not UTF-8 reaches the
    // opener as one encoded address.
    const QUrl url = QUrl::fromEncoded("file:///music/a%20b%23%E9.mp3");
    // Openers that end are watched far longer than they run; one that stays
    // is held until its short watch is over.
    const struct {
        const char* Name;
        QByteArray Commands;
        std::chrono::milliseconds Watch;
        bool Fails;
    } cases[] = {
        {"no program for the address", "exit 3", 1h, true},
        {"opened", "exit 0", 1h, false},
        {"stays while the program runs, then fails", "held; exit 4", 100ms, false},
        {"killed at once", "kill -9 $$", 1h, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFakeOpenerProgram program(c.Commands);
        const TScopedOpener opener(DesktopOpener(program.Path(), c.Watch));
        // The opener holds the call back as long as it may still tell a
        // failure.
        int failures = 0;
        auto token = std::make_shared<int>();
        const std::weak_ptr<int> told = token;
        OpenWithDesktop(url, [&failures, token] { ++failures; });
        token.reset();
        const bool held = c.Commands.startsWith("held");
        if (held) {
            EXPECT_FALSE(program.HasEnded()) << "never waits for the opener";
        }
        // The event loop runs on meanwhile.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(0);
        ASSERT_TRUE(RunEventsUntil([&] { return !program.Calls().isEmpty() && told.expired() && ticks >= 3; }, 60000));
        EXPECT_EQ(program.Calls(), QList<QByteArray>{url.toEncoded()});
        EXPECT_EQ(failures, c.Fails ? 1 : 0);
        if (held) {
            // The watch ended while the opener stayed; its failure after that
            // is not told.
            EXPECT_FALSE(program.HasEnded());
            program.Release();
            ASSERT_TRUE(RunEventsUntil([&] { return program.HasEnded(); }, 60000));
            EXPECT_EQ(failures, 0);
        }
    }

    // An opener that cannot be started at all.
    const TScopedOpener missing(DesktopOpener(QStringLiteral("/nonexistent/xdg-open"), 1h));
    int failures = 0;
    OpenWithDesktop(url, [&] { ++failures; });
    EXPECT_TRUE(RunEventsUntil([&] { return failures == 1; }, 60000));

    // Without a call back of its own the installed report is told.
    QList<QUrl> reported;
    const TOpenFailureReport previous = SetOpenFailureReport([&](const QUrl& failed) { reported << failed; });
    OpenWithDesktop(url);
    EXPECT_TRUE(RunEventsUntil([&] { return !reported.isEmpty(); }, 60000));
    EXPECT_EQ(reported, QList<QUrl>{url});
    SetOpenFailureReport(previous);
}

TEST(Opener, TheDesktopIsAskedForAProgramOfTheFileType)
{
    const QString type = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    // What xdg-mime answers to "query default TYPE": the program's desktop
    // file, nothing, or a failure; and one that does not answer in time.
    const struct {
        const char* Name;
        QByteArray Commands;
        std::chrono::milliseconds Wait; // far longer than a query that ends runs
        bool HasProgram;
    } cases[] = {
        {"a program", "[ \"$2\" = default ] && [ \"$3\" = '" + type.toLatin1() + "' ] && echo calc.desktop", 1h, true},
        {"no program", "echo", 1h, false},
        {"a failure", "echo calc.desktop; exit 2", 1h, false},
        {"no answer in time", "held; echo calc.desktop", 200ms, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFakeOpenerProgram program(c.Commands);
        const TProgramQuery previous = SetProgramQuery(DesktopProgramQuery(program.Path(), c.Wait));
        EXPECT_EQ(DesktopHasProgramFor(type), c.HasProgram);
        SetProgramQuery(previous);
        program.Release();
        EXPECT_EQ(program.Calls(), QList<QByteArray>{"query"});
    }
    // Without a query installed, opening tells.
    const TProgramQuery previous = SetProgramQuery({});
    EXPECT_TRUE(DesktopHasProgramFor(type));
    SetProgramQuery(previous);
}
