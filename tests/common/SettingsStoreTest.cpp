// The settings store on its own: what it reads back from stored values.

#include "SettingsStoreTestSupport.h"

#include "support/RecordingPrompt.h"

#include "common/CommaText.h"
#include "common/LayoutStrings.h"
#include "common/NameValueCollection.h"
#include "localisation/LanguageLoader.h"

#include <QTemporaryDir>

#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The store in a temporary folder, with the built-in base language.
class SettingsTest : public ::testing::Test, protected TSettingsStoreFixture {
protected:
    void SetUp() override
    {
        TRegistry::SetStorageFolder(m_settings.path());
        LoadBaseLanguage();
    }
    void TearDown() override { TRegistry::SetStorageFolder(QString()); }

private:
    QTemporaryDir m_settings;
    TRecordingPrompt m_prompt;
};

}

TEST_F(SettingsTest, StoredValuesAreCheckedWhenRead)
{
    Store([](TRegistry& reg) {
        reg.WriteInteger(QStringLiteral("FTWidth"), 5);
        reg.WriteInteger(QStringLiteral("ID3Pos"), 2);
        reg.WriteBool(QStringLiteral("UseProxy"), true);
        reg.WriteString(QStringLiteral("Proxy"), QString());
        reg.WriteInteger(QStringLiteral("ProxyPort"), 8080);
        reg.WriteInteger(QStringLiteral("SortierenRichtung"), 0);
        reg.WriteString(QStringLiteral("Cols"), QStringLiteral("TIT2TPE1TALB"));
        reg.WriteBinaryData(QStringLiteral("ColsW"), QByteArray("\x10\x00\x20\x00\x30", 5));
        reg.WriteBinaryData(QStringLiteral("Window"), QByteArray(43, '\0'));
        reg.WriteString(QStringLiteral("CH0"), QString());
        reg.WriteString(QStringLiteral("CH3"), QStringLiteral("/x/"));
    });
    TMainSettings s = Loaded();
    EXPECT_EQ(s.FolderBarWidth, 20);
    EXPECT_EQ(s.InputPanel, TInputPanelPos::Bottom);
    EXPECT_FALSE(s.Record.UseProxy);
    EXPECT_EQ(s.SortDirection, 1); // a stored 0 is ascending
    EXPECT_EQ(s.ColumnCodes, TStringArray({"TIT2", "TPE1", "TALB"}));
    EXPECT_EQ(s.ColumnWidths, TWordArray({0x10, 0x20})); // the odd byte is not read
    EXPECT_FALSE(s.WindowPlacement.has_value());
    EXPECT_EQ(s.CopyHistory, QStringList({"/x/"}));

    Store([](TRegistry& reg) {
        reg.WriteInteger(QStringLiteral("FTWidth"), 900);
        reg.WriteInteger(QStringLiteral("ID3Pos"), 0);
        reg.WriteInteger(QStringLiteral("SortierenRichtung"), 0x1FFFF); // low 16 bits: -1
    });
    s = Loaded();
    EXPECT_EQ(s.FolderBarWidth, 500);
    EXPECT_EQ(s.InputPanel, TInputPanelPos::Hidden);
    EXPECT_EQ(s.SortDirection, -1);
}

TEST_F(SettingsTest, LegacyPatternAndSubkeys)
{
    Store([](TRegistry& reg) {
        reg.WriteString(QStringLiteral("DNAufbau"), QStringLiteral("%A - %T"));
        reg.WriteBool(QStringLiteral("FolderIsField"), true);
        reg.WriteString(QStringLiteral("FolderIsFieldID"), QStringLiteral("%B"));
    });
    Store(
        [](TRegistry& reg) {
            reg.WriteString(QStringLiteral("0"), QStringLiteral("TIT2TPE1xx"));
            reg.WriteString(QStringLiteral("1"), QStringLiteral("COMM"));
            reg.WriteString(QStringLiteral("N1"), QStringLiteral("Notes"));
            reg.WriteString(QStringLiteral("3"), QStringLiteral("TALB")); // after a gap: not read
        },
        QStringLiteral("Felder"));
    Store(
        [](TRegistry& reg) {
            reg.WriteString(QStringLiteral("0"), QStringLiteral("%T"));
            reg.WriteString(QStringLiteral("N0"), QStringLiteral("Title only"));
            reg.WriteString(QStringLiteral("1"), QStringLiteral("%A")); // no name: skipped
        },
        QStringLiteral("DNVorgaben"));
    const TMainSettings s = Loaded();
    EXPECT_EQ(s.Record.FileNamePattern, QStringLiteral("%B\\%A - %T"));
    ASSERT_TRUE(s.InputPages.has_value());
    ASSERT_EQ(s.InputPages->Count(), 2);
    EXPECT_EQ(s.InputPages->Items(0).Title, QStringLiteral("Seite 1"));
    EXPECT_EQ(s.InputPages->Items(0).FrameIDs, QStringList({"TIT2", "TPE1"}));
    EXPECT_EQ(s.InputPages->Items(1).Title, QStringLiteral("Notes"));
    ASSERT_EQ(s.Presets.Count(), 1);
    EXPECT_EQ(s.Presets.Names().at(0), QStringLiteral("Title only"));

    Store([](TRegistry& reg) { reg.WriteBool(QStringLiteral("FolderIsField"), false); });
    EXPECT_EQ(Loaded().Record.FileNamePattern, QStringLiteral("%A - %T"));
    Store([](TRegistry& reg) { reg.WriteString(QStringLiteral("DNAufbau2"), QStringLiteral("%T")); });
    EXPECT_EQ(Loaded().Record.FileNamePattern, QStringLiteral("%T"));
}

TEST_F(SettingsTest, NumbersOutsideTheirRangesAreBroughtBackWhenRead)
{
    // Stored MinSize, MinPad, MaxPad, Decimals, CD database port and proxy
    // port (with a proxy), and what is read: a proxy port below 1 is none,
    // and a proxy without a port is not used.
    const struct {
        qint32 Stored[6];
        qint32 Read[6];
        bool UseProxy;
    } cases[] = {
        {{-5, 2000000, 2147483647, 2147483647, 70000, 65536}, {0, 1048576, 1048576, 10, 80, 0}, false},
        {{1048576, 0, -2147483647 - 1, 0, 0, -1}, {1048576, 0, 0, 1, 80, 0}, false},
        // The ends of the ranges are kept.
        {{0, 1048576, 0, 10, 65535, 1}, {0, 1048576, 0, 10, 65535, 1}, true},
    };
    for (const auto& c : cases) {
        Store([&](TRegistry& reg) {
            const char* names[] = {"MinSize", "MinPad", "MaxPad", "Decimals", "CDDBServerPort2", "ProxyPort"};
            for (int i = 0; i < 6; ++i)
                reg.WriteInteger(QString::fromLatin1(names[i]), c.Stored[i]);
            reg.WriteBool(QStringLiteral("UseProxy"), true);
            reg.WriteString(QStringLiteral("Proxy"), QStringLiteral("proxy.example"));
        });
        const TEinstellungen r = Loaded().Record;
        EXPECT_EQ((std::vector<qint32>{r.MinSize, r.MinPad, r.MaxPad, r.Decimals, r.CDDBServerPort, r.ProxyPort}),
                  std::vector<qint32>(std::begin(c.Read), std::end(c.Read)))
            << c.Stored[0];
        EXPECT_EQ(r.UseProxy, c.UseProxy) << c.Stored[0];
    }
}

TEST_F(SettingsTest, ListsAreReadOnlyAsFarAsTheWindowsCanShowThem)
{
    const QString longPath = QLatin1Char('/') + QString(MaxStoredPathBytes, QLatin1Char('x'));
    Store([&](TRegistry& reg) {
        // Ten separators too many, a button twice, an unknown code.
        reg.WriteString(QStringLiteral("Buttons"), QStringLiteral("UNDO") + QStringLiteral("----").repeated(40)
                                                       + QStringLiteral("UNDOXXXXDIRB"));
        // A column twice, an unknown one; the widths go with their columns.
        reg.WriteString(QStringLiteral("Cols"), QStringLiteral("TIT2*FINTIT2ZZZZ*LEN"));
        reg.WriteBinaryData(QStringLiteral("ColsW"), WidthsToBytes({10, 20, 30, 40, 50}));
        QStringList favorites;
        for (int i = 0; i < MaxFavorites + 5; ++i)
            favorites << QStringLiteral("F%1").arg(i) << QStringLiteral("/f%1").arg(i);
        reg.WriteString(QStringLiteral("Favorites"), JoinCommaText(favorites));
        // A folder no system takes.
        reg.WriteString(QStringLiteral("CH0"), longPath);
        reg.WriteString(QStringLiteral("CH1"), QStringLiteral("/a/"));
    });
    Store(
        [](TRegistry& reg) {
            reg.WriteString(QStringLiteral("0"), QStringLiteral("TIT2TIT2XXXXTPE1"));
            for (int i = 1; i < MaxInputPages + 8; ++i)
                reg.WriteString(QString::number(i), QStringLiteral("TIT2COMM"));
        },
        QStringLiteral("Felder"));
    Store(
        [](TRegistry& reg) {
            for (int i = 0; i < MaxFileNamePresets + 4; ++i) {
                reg.WriteString(QString::number(i), QStringLiteral("%A"));
                if (i != 7) // a pattern without a name is no template
                    reg.WriteString(QStringLiteral("N%1").arg(i), QStringLiteral("P%1").arg(i));
            }
        },
        QStringLiteral("DNVorgaben"));

    const TMainSettings s = Loaded();
    const TStringArray separators(MaxToolbarSeparators, QStringLiteral("----"));
    EXPECT_EQ(s.ToolbarCodes, TStringArray({"UNDO"}) + separators + TStringArray({"DIRB"}));
    EXPECT_EQ(s.ColumnCodes, TStringArray({"TIT2", "*FIN", "*LEN"}));
    EXPECT_EQ(s.ColumnWidths, TWordArray({10, 20, 50}));
    TNameValueCollection favorites;
    favorites.SetCommaText(s.Favorites);
    ASSERT_EQ(favorites.Count(), MaxFavorites);
    EXPECT_EQ(favorites.Names(MaxFavorites - 1), QStringLiteral("F%1").arg(MaxFavorites - 1));
    EXPECT_EQ(s.CopyHistory, QStringList({"/a/"}));
    ASSERT_TRUE(s.InputPages);
    ASSERT_EQ(s.InputPages->Count(), MaxInputPages);
    // Every frame once in the whole layout, unknown IDs gone.
    EXPECT_EQ(s.InputPages->Items(0).FrameIDs, QStringList({"TIT2", "TPE1"}));
    EXPECT_EQ(s.InputPages->Items(1).FrameIDs, QStringList({"COMM"}));
    EXPECT_TRUE(s.InputPages->Items(2).FrameIDs.isEmpty());
    EXPECT_EQ(s.Presets.Count(), MaxFileNamePresets);
    EXPECT_EQ(s.Presets.Names().last(), QStringLiteral("P%1").arg(MaxFileNamePresets));

    // What was left out is counted for the user: repeats and what is beyond
    // the bounds, not what no window could show at all.
    EXPECT_EQ(s.LeftOut.ToolbarEntries, 11);
    EXPECT_EQ(s.LeftOut.Columns, 1);
    EXPECT_EQ(s.LeftOut.Favorites, 5);
    EXPECT_EQ(s.LeftOut.InputPages, 8);
    EXPECT_EQ(s.LeftOut.FileNamePresets, 3);
    EXPECT_EQ(s.LeftOut.Lines().size(), 5);

    // What the store writes it reads back whole.
    TSettingsStore::Save(s);
    const TMainSettings again = Loaded();
    EXPECT_FALSE(again.LeftOut.Any());
    EXPECT_TRUE(again.LeftOut.Lines().isEmpty());
    EXPECT_EQ(again.ToolbarCodes, s.ToolbarCodes);
    EXPECT_EQ(again.InputPages->Count(), MaxInputPages);
}
