// Where the main window opens: the stored placement fitted to the screen it
// opens on, whatever size was stored and whatever room the texts ask for.
#include "InputPanelTestSupport.h"

#include "common/SettingsKey.h"
#include "common/SettingsStore.h"
#include "mainwindow/WindowPlacement.h"

#include "localisation/LanguageLoader.h"
#include "platform/Registry.h"

#include <QFile>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace {

void StorePlacement(const QRect& normal, quint32 showCmd = TWindowPlacement::ShowNormal)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), true));
    reg.WriteBinaryData(QStringLiteral("Window"), TWindowPlacement{normal, showCmd}.Encode());
    reg.WriteString(QStringLiteral("Language"), QStringLiteral("ENGLISH"));
}

QRect StoredPlacement()
{
    TMainSettings settings;
    TSettingsStore::Load(settings);
    const auto placement = TWindowPlacement::Decode(settings.WindowPlacement.value_or(QByteArray()));
    return placement ? placement->Normal : QRect();
}

QRect Available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// The built-in English texts, each caption eight times as long.
QByteArray LongEnglishTexts()
{
    QByteArray bytes;
    for (QByteArray line : ReadBuiltInLanguage(QStringLiteral("ENGLISH")).value_or(QByteArray()).split('\n')) {
        line = line.trimmed();
        const qsizetype equals = line.indexOf('=');
        const bool header = equals < 0 || line.startsWith("Language") || line.startsWith("QLNVersion")
                            || line.startsWith("Sig") || line.contains('%') || line.contains('\\');
        if (!header)
            line += (" " + line.mid(equals + 1)).repeated(7);
        bytes += line + "\r\n";
    }
    return bytes;
}

}

TEST(WindowPlacementTest, AWindowIsFittedToTheScreenThatHoldsMostOfIt)
{
    const QRect primary(0, 0, 1600, 1000);
    const QRect second(1600, 0, 1280, 1024);
    const QList<QRect> screens{primary, second};
    // Wholly on a screen: as it is.
    EXPECT_EQ(FitToScreens(QRect(100, 50, 800, 600), screens), QRect(100, 50, 800, 600));
    EXPECT_EQ(FitToScreens(QRect(1700, 50, 800, 600), screens), QRect(1700, 50, 800, 600));
    // Wider than its screen: as wide as the screen, moved onto it.
    EXPECT_EQ(FitToScreens(QRect(200, 125, 1807, 750), screens), QRect(0, 125, 1600, 750));
    // Hanging over an edge: moved in, its size kept.
    EXPECT_EQ(FitToScreens(QRect(1500, 900, 400, 300), {primary}), QRect(1200, 700, 400, 300));
    EXPECT_EQ(FitToScreens(QRect(-300, -20, 400, 300), {primary}), QRect(0, 0, 400, 300));
    // Across two screens: onto the one that holds more of it.
    EXPECT_EQ(FitToScreens(QRect(1500, 100, 600, 400), screens), QRect(1600, 100, 600, 400));
    // On a screen that is gone: centred on the primary screen, as large as fits.
    EXPECT_EQ(FitToScreens(QRect(3000, 100, 600, 400), screens), QRect(500, 300, 600, 400));
    EXPECT_EQ(FitToScreens(QRect(-5000, 0, 2000, 1200), {primary}), primary);
    // No screen known: nothing to fit to.
    EXPECT_EQ(FitToScreens(QRect(-5000, 0, 10, 10), {}), QRect(-5000, 0, 10, 10));
}

TEST(WindowPlacementTest, AStoredWindowOpensAndIsSavedWithinTheScreen)
{
    TMainWindowEnvironment env;
    const QRect available = Available();
    // Wider and taller than the screen, and on a screen that is gone.
    for (const QRect& stored : {QRect(200, 100, available.width() + 300, available.height() + 200),
                                QRect(available.right() + 3000, 100, 400, 300)}) {
        StorePlacement(stored);
        {
            TFQuillon window({});
            window.FormShow();
            EXPECT_TRUE(available.contains(window.geometry()));
        }
        EXPECT_TRUE(available.contains(StoredPlacement()));
    }
    // One that fits stays as it was.
    const QRect fits(available.topLeft() + QPoint(20, 30), available.size() * 3 / 4);
    StorePlacement(fits);
    {
        TFQuillon window({});
        window.FormShow();
        EXPECT_EQ(window.geometry(), fits);
    }
    EXPECT_EQ(StoredPlacement(), fits);
}

TEST(WindowPlacementTest, LongTextsOfALanguageNeverMakeTheWindowLargerThanTheScreen)
{
    TMainWindowEnvironment env;
    const QString file = env.PathOf(QStringLiteral("long.qlnlang"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(LongEnglishTexts());
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), true));
    reg.WriteString(QStringLiteral("LanguageFile"), file);
    reg.Flush();
    const QRect available = Available();
    {
        TFQuillon window({});
        window.show();
        window.FormShow();
        QCoreApplication::processEvents();
        // The texts ask for more than the screen has.
        ASSERT_GT(window.layout()->totalMinimumSize().width(), available.width());
        EXPECT_TRUE(available.contains(window.frameGeometry()));
    }
    EXPECT_TRUE(available.contains(StoredPlacement()));
}
