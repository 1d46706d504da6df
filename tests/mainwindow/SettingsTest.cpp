#include "common/SettingsStoreTestSupport.h"
#include "InputPanelTestSupport.h"

#include "common/SettingsStore.h"
#include "common/ToolbarButtons.h"
#include "mainwindow/WindowPlacement.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QToolBar>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <tuple>

namespace {

class SettingsTest : public ::testing::Test, protected TSettingsStoreFixture {
protected:
    TMainWindowEnvironment Env;
};

TMainSettings Sample()
{
    TMainSettings s;
    s.Record.Language = QStringLiteral("ENGLISH");
    s.Record.LanguageFile = QStringLiteral("/opt/lang/x.qlnlang");
    s.Record.FileNamePattern = QStringLiteral("%N - %T");
    s.Record.NeverChangeDate = false;
    s.Record.ReadID3v2 = false;
    s.Record.WriteID3v1 = false;
    s.Record.WriteID3v2 = false;
    s.Record.ID3v2Version = 4;
    s.Record.Unsync = true;
    s.Record.MinSize = 100;
    s.Record.MinPad = 7;
    s.Record.MaxPad = 9000;
    s.Record.NoWriteProtect = true;
    s.Record.Decimals = 3;
    s.Record.CDDBServer = QStringLiteral("cddb.example.org");
    s.Record.CDDBServerPort = 8880;
    s.Record.CDDBServerCgiPath = QStringLiteral("/cgi");
    s.Record.CDDBUser = QStringLiteral("me");
    s.Record.UseProxy = true;
    s.Record.Proxy = QStringLiteral("proxy");
    s.Record.ProxyPort = 3128;
    s.Record.AlwaysUseNativeNtCdRom = true;
    s.FirstDir = QStringLiteral("/music/");
    s.FolderBarWidth = 333;
    s.FolderBarVisible = false;
    s.SearchVisible = true;
    s.InputPanel = TInputPanelPos::Top;
    s.WindowPlacement = TWindowPlacement{QRect(10, 20, 640, 480), TWindowPlacement::ShowMaximized}.Encode();
    s.SortColumn = 17;
    s.SortDirection = -1;
    s.ChildFolders = true;
    s.CaseConversionRenames = true;
    s.ToolbarCodes = TStringArray({"UNDO", "----", "DIRB"});
    s.ColumnCodes = TStringArray({"TIT2", "*FIN"});
    s.ColumnWidths = {120, 45};
    s.CopyHistory = QStringList({"/a/", "/b/"});
    s.MoveHistory = QStringList({"/c/"});
    s.Favorites = QStringLiteral("Music,/music,\"My Songs\",\"/home/u/my songs\"");
    TEingabeSeiten pages;
    pages.Add(QStringLiteral("%PageGeneralTitle")).FrameIDs = QStringList({"TIT2", "TPE1"});
    pages.Add(QStringLiteral("Mine")).FrameIDs = QStringList({"COMM"});
    s.InputPages = pages;
    s.Presets.Add(QStringLiteral("%FilenameTemplateStandard"), QStringLiteral("%A - %T"));
    s.Presets.Add(QStringLiteral("Own"), QStringLiteral("%B\\%T"));
    return s;
}

// Every field of the two alike.
void ExpectSame(const TMainSettings& a, const TMainSettings& b)
{
    const auto fields = [](const TMainSettings& s) {
        return std::tie(s.Record, s.FirstDir, s.FolderBarWidth, s.FolderBarVisible, s.SearchVisible, s.InputPanel,
                        s.WindowPlacement, s.SortColumn, s.SortDirection, s.ChildFolders, s.CaseConversionRenames,
                        s.ToolbarCodes, s.ColumnCodes, s.ColumnWidths, s.CopyHistory, s.MoveHistory, s.Favorites,
                        s.Presets);
    };
    EXPECT_EQ(fields(a), fields(b));
    ASSERT_EQ(a.InputPages.has_value(), b.InputPages.has_value());
    if (a.InputPages) {
        EXPECT_EQ(PagesText(*a.InputPages), PagesText(*b.InputPages));
    }
}

}

TEST_F(SettingsTest, EveryValueRoundTripsThroughTheStoreAndTheWindow)
{
    TMainSettings sample = Sample();
    sample.FirstDir = Env.Folder();
    TSettingsStore::Save(sample);
    ExpectSame(Loaded(), sample);
    sample.WindowPlacement.reset();
    TSettingsStore::Save(sample);
    {
        // The window stores back what it took over; what it hands on to the
        // tag writer and the name builder comes from it too.
        TFQuillon window({});
        EXPECT_EQ(window.ID3v2Reader1.WriteID3Version, wivID3v2_4);
        EXPECT_EQ(window.ID3v2Reader1.MinID3v2Padding, 7);
        EXPECT_FALSE(window.ID3v2Reader1.NeverChangeDate);
        EXPECT_EQ(window.ID3FilenameParser.NumberDecimals, 3);
        // A stored language is loaded: no selector.
        EXPECT_EQ(Env.Prompt.Modals, 0);
    }
    TMainSettings saved = Loaded();
    saved.WindowPlacement.reset();
    ExpectSame(saved, sample);
}

TEST_F(SettingsTest, AResetLeavesNothingBehind)
{
    TSettingsStore::Save(Sample());
    Store([](TRegistry& reg) { reg.WriteString(QStringLiteral("Server0"), QStringLiteral("x")); },
          QStringLiteral("CDDBServer2"));
    Store([](TRegistry& reg) { reg.WriteInteger(QStringLiteral("Mode"), 1); }, QStringLiteral("Export"));
    {
        TFQuillon window({});
        window.SetResetRequested(true);
    }
    TRegistry reg;
    if (reg.OpenKey(kKey, false)) {
        EXPECT_TRUE(reg.GetValueNames().isEmpty());
        EXPECT_TRUE(reg.GetKeyNames().isEmpty());
    }
    // The next start is a first start again.
    TFQuillon window({});
    EXPECT_EQ(Env.Prompt.Modals, 1);
    EXPECT_EQ(window.Settings(), TEinstellungen());
}

TEST_F(SettingsTest, SettingsThatCannotBeWrittenAreToldOnceForEachStretchOfFailures)
{
    // A file holds the name of the settings folder.
    const QString folder = Env.PathOf(QStringLiteral("config/Orvane"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRegistry::SetStorageFolder(folder);
    const QString told = LangFmt("ErrorSaveSettings", {TRegistry::StorageFile(), SystemErrorText(ENOTDIR)});
    {
        TFQuillon window({});
        window.SaveSettings(); // as the settings dialog does when confirmed
        EXPECT_EQ(Env.Prompt.Errors, QStringList{told});
    }
    EXPECT_EQ(Env.Prompt.Errors, QStringList{told}) << "not again when the window closes";

    ASSERT_TRUE(QFile::remove(folder));
    TFQuillon({}).SaveSettings();
    EXPECT_TRUE(QFile::exists(TRegistry::StorageFile()));

    // A new failure after a write that worked is told again.
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".old")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TFQuillon({}).SaveSettings();
    EXPECT_EQ(Env.Prompt.Errors, (QStringList{told, told}));
}

// A settings file that is no settings is told once at start, with its name
// and why; the window starts as at a first start, and at the end its own
// settings go to a new file while the old one is kept as it was. A link to
// a device as the settings file leaves the device a device.
TEST_F(SettingsTest, AnUnreadableSettingsFileIsToldOnceAtStartAndKeptAside)
{
    const QString file = TRegistry::StorageFile();
    const QString device = Env.PathOf(QStringLiteral("dev/null"));
    const bool haveDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const QByteArray garbage(100 * 1024, '\xFF');
    const struct {
        const char* Name;
        bool Device;
        QString Reason;
    } cases[] = {
        {"random bytes", false, Lang("ReasonNotSettingsFormat")},
        {"a link to a device", true, LangFmt("ReasonNotRegularFile", {Lang("FileKindCharDevice")})},
    };
    for (const auto& c : cases) {
        if (c.Device && !haveDevice)
            continue;
        SCOPED_TRACE(c.Name);
        QFile::remove(file);
        QFile::remove(file + QStringLiteral(".unreadable"));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        if (c.Device) {
            ASSERT_EQ(::symlink(QFile::encodeName(device).constData(), QFile::encodeName(file).constData()), 0);
        } else {
            QFile bad(file);
            ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
            bad.write(garbage);
        }
        Env.Prompt.Errors.clear();
        {
            TFQuillon window({});
            EXPECT_EQ(Env.Prompt.Errors, QStringList{LangFmt("ErrorReadSettings",
                                                             {file, c.Reason, file + QStringLiteral(".unreadable")})});
            EXPECT_EQ(window.Settings(), TEinstellungen());
            window.Settings().Decimals = 3;
        }
        EXPECT_EQ(Env.Prompt.Errors.size(), 1) << "told once";
        EXPECT_EQ(Loaded().Record.Decimals, 3);
        const QFileInfo kept(file + QStringLiteral(".unreadable"));
        if (c.Device) {
            EXPECT_EQ(kept.symLinkTarget(), device);
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &st), 0);
            EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";
            EXPECT_EQ(st.st_rdev, makedev(1, 3));
        } else {
            QFile bad(kept.filePath());
            ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
            EXPECT_EQ(bad.readAll(), garbage);
        }
    }
    if (!haveDevice)
        GTEST_SKIP() << "no device node could be made here (mknod needs root); the file of random bytes was checked";
}

// Settings that no window writes (a settings file edited by hand or damaged)
// are cut to what the window shows, the user hears once what went, and
// what the window saves is read back whole.
TEST_F(SettingsTest, ListsLongerThanTheWindowShowsAreCutAndToldOnce)
{
    const int many = 1000;
    Store([&](TRegistry& reg) {
        reg.WriteString(QStringLiteral("Language"), QStringLiteral("ENGLISH"));
        reg.WriteString(QStringLiteral("Buttons"), QStringLiteral("UNDO----DIRB").repeated(many));
        reg.WriteString(QStringLiteral("Cols"), QStringLiteral("TIT2*FIN").repeated(many));
        reg.WriteString(QStringLiteral("Favorites"), QStringLiteral("Music,/tmp,").repeated(many));
    });
    Store(
        [&](TRegistry& reg) {
            for (int i = 0; i < MaxInputPages + 50; ++i)
                reg.WriteString(QString::number(i), QStringLiteral("TIT2TPE1"));
        },
        QStringLiteral("Felder"));
    Store(
        [&](TRegistry& reg) {
            for (int i = 0; i < MaxFileNamePresets + 50; ++i) {
                reg.WriteString(QString::number(i), QStringLiteral("%A"));
                reg.WriteString(QStringLiteral("N%1").arg(i), QStringLiteral("P%1").arg(i));
            }
        },
        QStringLiteral("DNVorgaben"));
    {
        TFQuillon window({});
        EXPECT_LE(window.GetToolbarCodes().size(), ToolbarButtonCount + MaxToolbarSeparators);
        EXPECT_EQ(window.ToolBar1->actions().size(), window.GetToolbarCodes().size());
        TStringArray columns;
        TWordArray widths;
        window.GetColumns(columns, widths);
        EXPECT_EQ(columns, TStringArray({"TIT2", "*FIN"}));
        EXPECT_EQ(window.InputPages().Count(), MaxInputPages);
        EXPECT_EQ(window.PagInfos->count(), MaxInputPages + 2);
        EXPECT_EQ(window.Favorites().Count(), MaxFavorites);
        EXPECT_EQ(window.FileNamePresets().Count(), MaxFileNamePresets);
        // Told once, when the window shows, in the language chosen.
        EXPECT_TRUE(Env.Prompt.Informations.isEmpty());
        window.FormShow();
        ASSERT_EQ(Env.Prompt.Informations.size(), 1);
        const QString told = Env.Prompt.Informations.first();
        const QString opening = Lang("SettingsLeftOut").section(QStringLiteral("%0:s"), 0, 0);
        EXPECT_TRUE(told.startsWith(opening)) << told.toStdString();
        EXPECT_TRUE(told.contains(LangFmt("SettingsLeftOutPages", {50, MaxInputPages})));
        EXPECT_TRUE(told.contains(LangFmt("SettingsLeftOutFavorites", {many - MaxFavorites, MaxFavorites})));
        EXPECT_TRUE(told.contains(LangFmt("SettingsLeftOutPresets", {50, MaxFileNamePresets})));
        EXPECT_TRUE(told.contains(LangFmt("SettingsLeftOutColumns", {2 * many - 2})));
        EXPECT_TRUE(told.contains(LangFmt("SettingsLeftOutButtons", {3 * many - 32, MaxToolbarSeparators})));
    }
    // The next start finds nothing to cut.
    EXPECT_FALSE(Loaded().LeftOut.Any());
    TFQuillon window({});
    window.FormShow();
    EXPECT_EQ(Env.Prompt.Informations.size(), 1);
}
