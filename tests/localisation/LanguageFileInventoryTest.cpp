// Checks the two built-in language sources as they lie in the source tree
// (resources/languages, found relative to this file): byte format, banners,
// the keys both files hold and the escapes of every text.

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
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "resources" / "languages";

struct Entry {
    std::string key;
    std::string value;
};

struct LanguageSource {
    std::string bytes;
    std::vector<std::string> lines;   // without their CR LF
    std::vector<Entry> entries;       // every key line after the header, in file order
    std::vector<std::string> banners; // "#####" groups and "*****" sections
    std::size_t inventoryKeys = 0;    // the keys before the group of added texts
};

// The name of a well-formed banner: five fill characters, a blank, the name, a
// blank, and fill characters up to column 80. Empty when malformed.
std::string BannerName(const std::string& line)
{
    const char fill = line[0];
    const std::size_t end = line.find_last_not_of(fill);
    if (line.size() != 80 || line.compare(0, 6, std::string(5, fill) + ' ') != 0 || end == std::string::npos ||
        end < 7 || line[end] != ' ')
        return {};
    return line.substr(6, end - 6);
}

LanguageSource Load(const std::string& fileName)
{
    LanguageSource source;
    std::ifstream in(LanguageFolder / fileName, std::ios::binary);
    source.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    for (std::size_t end; (end = source.bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        source.lines.push_back(source.bytes.substr(start, end - start));
    bool added = false;
    for (const std::string& line : source.lines) {
        if (line.starts_with("#####") || line.starts_with("*****")) {
            source.banners.push_back(line);
            added = added || line.starts_with("##### AddedTexts ");
        } else if (const std::size_t equals = line.find('='); equals != std::string::npos && !source.banners.empty()) {
            source.entries.push_back({line.substr(0, equals), line.substr(equals + 1)});
            source.inventoryKeys += added ? 0 : 1;
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
    EXPECT_NE(german.bytes.find("\r\nClose=Schlie\xDF" "en\r\n"), std::string::npos);
}

TEST_F(LanguageFileInventoryTest, BannersAreEightyCharactersAndAddedTextsFollowTheInventory)
{
    // Texts this program added follow the inventory under one group, in
    // sections of their own that both files share.
    std::vector<std::vector<std::string>> added;
    for (const LanguageSource* source : {&english, &german}) {
        for (const std::string& line : source->banners)
            EXPECT_FALSE(BannerName(line).empty()) << "malformed banner: " << line;
        const auto group = std::find_if(source->banners.begin(), source->banners.end(),
                                         [](const std::string& line) { return BannerName(line) == "AddedTexts"; });
        ASSERT_NE(group, source->banners.end());
        added.emplace_back(group, source->banners.end());
        EXPECT_TRUE(std::all_of(group + 1, source->banners.end(), [](const std::string& l) { return l[0] == '*'; }));
        // The inventory's 667 keys and "ErrorUndoFileMissing".
        EXPECT_EQ(source->inventoryKeys, 668u);
    }
    EXPECT_EQ(added[0], added[1]);
}

TEST_F(LanguageFileInventoryTest, BothFilesHoldTheSameKeysEachWithATextOfKnownEscapes)
{
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
