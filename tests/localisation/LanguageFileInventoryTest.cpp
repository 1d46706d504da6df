// Checks the two built-in language sources as they lie in the source tree
// (resources/languages, found relative to this file): byte format, header,
// banners, the key inventory and the escapes of every text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const std::filesystem::path LanguageFolder =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "resources" /
    "languages";

constexpr std::size_t BannerWidth = 80;
constexpr std::size_t HeaderLineCount = 7;

struct Entry {
    std::string key;
    std::string value;
};

// A group ("#####") or section ("*****") banner and the number of keys below it.
struct Block {
    char fill;
    std::string name;
    int keyCount;
    bool operator==(const Block&) const = default;
};

struct LanguageSource {
    std::string bytes;
    std::vector<std::string> lines;  // without their CR LF
    std::vector<Entry> header;
    std::vector<Entry> entries;      // every key line after the header, in file order
    std::vector<std::string> bannerLines;
    std::vector<Block> blocks;
};

bool IsBanner(const std::string& line)
{
    return line.starts_with("#####") || line.starts_with("*****");
}

// The name of a well-formed banner: five fill characters, a blank, the name, a
// blank, and fill characters up to the banner width. Empty when malformed.
std::string BannerName(const std::string& line)
{
    const char fill = line[0];
    const std::size_t end = line.find_last_not_of(fill);
    if (line.size() != BannerWidth || line.compare(0, 6, std::string(5, fill) + ' ') != 0 ||
        end == std::string::npos || end < 7 || line[end] != ' ')
        return {};
    return line.substr(6, end - 6);
}

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));  // a last line without CR LF
    return lines;
}

LanguageSource Load(const std::string& fileName)
{
    LanguageSource source;
    std::ifstream in(LanguageFolder / fileName, std::ios::binary);
    source.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    source.lines = SplitCrLf(source.bytes);
    for (const std::string& line : source.lines) {
        if (IsBanner(line)) {
            source.bannerLines.push_back(line);
            source.blocks.push_back({line[0], BannerName(line), 0});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        Entry entry{line.substr(0, equals), line.substr(equals + 1)};
        if (source.blocks.empty()) {
            source.header.push_back(entry);
        } else {
            source.entries.push_back(entry);
            ++source.blocks.back().keyCount;
        }
    }
    return source;
}

// Bytes that Windows-1252 leaves undefined, and control characters other
// than the line ends.
bool IsWindows1252Text(unsigned char byte)
{
    static const std::set<unsigned char> undefined{0x81, 0x8D, 0x8F, 0x90, 0x9D};
    return byte >= 0x20 && byte != 0x7F && !undefined.contains(byte);
}

// Escapes the lookup understands and the files use: "\n" and "\\" only, so
// that a single backslash meant literally is never swallowed.
bool HasOnlyKnownEscapes(const std::string& text)
{
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\\')
            continue;
        if (pos + 1 == text.size() || (text[pos + 1] != 'n' && text[pos + 1] != '\\'))
            return false;
        ++pos;
    }
    return true;
}

std::string ValueOf(const LanguageSource& source, const std::string& key)
{
    const auto it = std::find_if(source.entries.begin(), source.entries.end(),
                                 [&](const Entry& e) { return e.key == key; });
    return it == source.entries.end() ? std::string() : it->value;
}

const std::vector<Block> EnglishBlocks{
    {'#', "GeneralLabels", 7}, {'*', "ColumnTitles", 53}, {'*', "ID3-Frames", 132}, {'*', "other", 4},
    {'*', "FilenameTemplates", 6}, {'#', "MainWindow", 0}, {'*', "MainMenu", 0}, {'*', "MenuFile", 19},
    {'*', "MenuEdit", 21}, {'*', "MenuExtras", 56}, {'*', "MenuView", 40}, {'*', "MenuFavorites", 3},
    {'*', "MenuHelp", 9}, {'*', "MenuDrag&Drop", 3}, {'*', "MainWindowLabels", 46},
    {'*', "MainWindowMessages", 20}, {'#', "InfoWindow", 1}, {'#', "SettingsWindow", 1},
    {'*', "SelectionBar", 6}, {'*', "PageGeneral", 19}, {'*', "PageRead/Write", 13}, {'*', "PageCDDB", 12},
    {'*', "PageLanguage", 10}, {'*', "PageSetup", 7}, {'*', "SettingsWindowMessages", 8},
    {'#', "SearchFreeDBServersWindow", 6}, {'#', "ExportWindow", 1}, {'*', "SelectionBar", 5},
    {'*', "PageHTML", 13}, {'*', "PageOwnHTML", 5}, {'*', "PagePlaylist", 8}, {'*', "PageExcel", 2},
    {'*', "ExportWindowMessages", 6}, {'*', "Open/SaveDialogs", 3}, {'#', "freedb-Window", 0},
    {'*', "Page 1", 16}, {'*', "Page 2", 21}, {'*', "Page 3", 15}, {'#', "CustomizeWindows", 24},
    {'#', "NewUserDefFieldWindow & Desc.-LanguageWindow", 10}, {'#', "FromID3v1Window", 3},
    {'#', "AutoSetTrackNoWindow", 8}, {'#', "FavoritesWindow", 4}, {'#', "UpdateWindow", 22},
};

class LanguageFileInventoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(english.bytes.empty()) << "missing " << (LanguageFolder / "ENGLISH.qlnsrc");
        ASSERT_FALSE(german.bytes.empty()) << "missing " << (LanguageFolder / "GERMAN.qlnsrc");
    }

    const LanguageSource english = Load("ENGLISH.qlnsrc");
    const LanguageSource german = Load("GERMAN.qlnsrc");
};

TEST_F(LanguageFileInventoryTest, EveryLineIsWindows1252EndedByCrLf)
{
    for (const LanguageSource* source : {&english, &german}) {
        EXPECT_TRUE(source->bytes.ends_with("\r\n"));
        for (const std::string& line : source->lines) {
            EXPECT_TRUE(std::all_of(line.begin(), line.end(),
                                    [](char c) { return IsWindows1252Text(static_cast<unsigned char>(c)); }))
                << "stray line end, control character or undefined byte in: " << line;
        }
    }
    // Umlauts are single Windows-1252 bytes, not UTF-8 sequences.
    EXPECT_EQ(ValueOf(german, "Delete"), "&L\xF6schen");
    EXPECT_EQ(ValueOf(german, "Close"), "Schlie\xDF" "en");
}

TEST_F(LanguageFileInventoryTest, HeaderComesFirstWithTheLanguagesValues)
{
    const std::vector<std::string> keys{"Language",   "LanguageInt", "PrimaryLanguageID", "SubLanguageID",
                                        "Author",     "QLNVersion",  "Sig"};
    const std::vector<std::string> englishValues{"English", "English", "9", "1", "", "3.14", ""};
    const std::vector<std::string> germanValues{"Deutsch", "German", "7", "1", "", "3.14", ""};
    for (const auto& [source, values] : {std::pair{&english, englishValues}, std::pair{&german, germanValues}}) {
        ASSERT_EQ(source->header.size(), HeaderLineCount);
        for (std::size_t i = 0; i < HeaderLineCount; ++i) {
            EXPECT_EQ(source->lines[i], source->header[i].key + '=' + source->header[i].value);
            EXPECT_EQ(source->header[i].key, keys[i]);
            if (keys[i] == "Author")
                EXPECT_FALSE(source->header[i].value.empty());
            else
                EXPECT_EQ(source->header[i].value, values[i]) << keys[i];
        }
    }
}

TEST_F(LanguageFileInventoryTest, BannersAreEightyCharactersAndOrderTheKeys)
{
    for (const LanguageSource* source : {&english, &german}) {
        for (const std::string& line : source->bannerLines)
            EXPECT_FALSE(BannerName(line).empty()) << "malformed banner: " << line;
    }
    // The German file keeps the replace dialog's keys under a banner of their own.
    std::vector<Block> germanBlocks = EnglishBlocks;
    germanBlocks.back().keyCount = 14;
    germanBlocks.push_back({'#', "ReplaceFramesWindow", 8});

    // Texts this program added follow the inventory under one group, in
    // sections of their own that both files share.
    using Inventory = std::pair<const LanguageSource*, const std::vector<Block>*>;
    for (const auto& [source, inventory] : {Inventory{&english, &EnglishBlocks}, Inventory{&german, &germanBlocks}}) {
        ASSERT_GT(source->blocks.size(), inventory->size());
        EXPECT_TRUE(std::equal(inventory->begin(), inventory->end(), source->blocks.begin()));
        EXPECT_EQ(source->blocks[inventory->size()], (Block{'#', "AddedTexts", 0}));
        for (std::size_t i = inventory->size() + 1; i < source->blocks.size(); ++i)
            EXPECT_EQ(source->blocks[i].fill, '*') << source->blocks[i].name;
    }
    EXPECT_TRUE(std::equal(english.blocks.begin() + static_cast<std::ptrdiff_t>(EnglishBlocks.size()),
                           english.blocks.end(),
                           german.blocks.begin() + static_cast<std::ptrdiff_t>(germanBlocks.size()),
                           german.blocks.end()));
}

TEST_F(LanguageFileInventoryTest, BothFilesHoldTheSameKeysEachWithATextOfKnownEscapes)
{
    // The inventory's keys (667 and "ErrorUndoFileMissing"), then the added ones.
    int inventoryKeys = 0;
    for (const Block& block : EnglishBlocks)
        inventoryKeys += block.keyCount;
    ASSERT_EQ(inventoryKeys, 668);
    ASSERT_GE(english.entries.size(), 668u);
    ASSERT_EQ(german.entries.size(), english.entries.size());
    std::set<std::string> seen;
    for (std::size_t i = 0; i < english.entries.size(); ++i) {
        const std::string& key = english.entries[i].key;
        EXPECT_EQ(german.entries[i].key, key);
        std::string folded = key;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_TRUE(seen.insert(folded).second) << "duplicate key (lookups ignore case): " << key;
        EXPECT_FALSE(key.starts_with('%')) << key;
        for (const LanguageSource* source : {&english, &german}) {
            EXPECT_FALSE(source->entries[i].value.empty()) << key;
            EXPECT_TRUE(HasOnlyKnownEscapes(source->entries[i].value)) << key;
        }
    }
    // Both files' placeholders are compared by LanguageKeysTest, which also formats every text.
}

}  // namespace
