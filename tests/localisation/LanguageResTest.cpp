#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LanguageRes.h"
#include "localisation/LocaleLanguage.h"
#include "support/FifoWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Header(const QString& language, int primary, int sub, const QString& version = "3.14")
{
    return LanguageFileBytes({"Language=" + language, "LanguageInt=" + language + " (int)",
                              QStringLiteral("PrimaryLanguageID=%1").arg(primary),
                              QStringLiteral("SubLanguageID=%1").arg(sub), "Author=Someone", "QLNVersion=" + version,
                              "Sig="});
}

class LanguageResTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SetLanguageFolders(QStringList{m_dir.path()});
    }

    QString Write(const QString& name, const QByteArray& bytes) { return WriteFile(m_dir.filePath(name), bytes); }

    // The language of the row chosen for the name (none: by the locale alone).
    static QString Preselected(const TLanguageResList& rows, const char* locale, const QString& name = {},
                               bool isFile = false)
    {
        const int row = BestLanguageRow(rows, name, isFile, WindowsLanguage(QLocale(QString::fromLatin1(locale))));
        return row < 0 ? QString() : rows[static_cast<size_t>(row)].Language;
    }

    TLanguageStateGuard m_guard;
    QTemporaryDir m_dir;
};

TEST_F(LanguageResTest, LocalesAndWindowsLanguageNumbersMapBothWays)
{
    EXPECT_EQ(WindowsLanguageId(QLocale("de_AT")), 0x0C07);
    EXPECT_EQ(WindowsLanguageId(QLocale("en_DE")), 0x0009);   // unknown territory: the primary language only
    EXPECT_EQ(WindowsLanguageId(QLocale::c()), 0x0409);

    // And back; an unknown sublanguage falls back to the language's first locale.
    EXPECT_EQ(LocaleOfWindowsLanguage(7, 3).name(), QStringLiteral("de_AT"));
    EXPECT_EQ(LocaleOfWindowsLanguage(7, 31).language(), QLocale::German);
    EXPECT_EQ(LocaleOfWindowsLanguage(1000, 1).language(), QLocale::C);
}

TEST_F(LanguageResTest, ListsBuiltInLanguagesAndLanguageFilesSorted)
{
    Write("zulu.qlnlang", Header("aaa first", 53, 1));
    Write("old.qlnlang", Header("Older", 9, 1, "3.13"));
    Write("nolanguage.qlnlang", LanguageFileBytes({"QLNVersion=3.14", "OK=x"}));
    Write("other.txt", Header("Not listed", 9, 1));
    Write("UPPER.QLNLANG", Header("Not listed either", 9, 1)); // names compare exactly
    // A FIFO among the files is passed over at once: reading it would wait
    // for a writer (here one stands by, so a reader that waited would list it).
    TFifoWriter fifo(m_dir.filePath("fifo.qlnlang"), Header("From a FIFO", 9, 1));
    ASSERT_TRUE(fifo.Made());

    const TLanguageResList rows = FindLanguages();
    QStringList names;
    for (const TLanguageRes& row : rows)
        names << row.Language;
    EXPECT_EQ(names, QStringList({"aaa first", "Deutsch", "English", "Older"}));

    EXPECT_TRUE(rows[1].IsCurrentVersion());
    EXPECT_EQ(rows[3].FileName, m_dir.filePath("old.qlnlang"));
    EXPECT_FALSE(rows[3].IsCurrentVersion());
}

TEST_F(LanguageResTest, PreselectsTheNamedRowElseByLocale)
{
    TLanguageResList rows = FindLanguages(); // the two built-in languages only
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Preselected(rows, "en_US"), "English");
    EXPECT_EQ(Preselected(rows, "fr_FR"), "Deutsch"); // no match: German

    // Two rows of one primary language, neither exact: the first in order wins;
    // an exact match beats it.
    Write("a.qlnlang", Header("English A", 9, 5));
    Write("b.qlnlang", Header("English B", 9, 2));
    rows = FindLanguages();
    EXPECT_EQ(Preselected(rows, "en_AU"), "English");   // built-in English is 9/1, AU is 9/3
    EXPECT_EQ(Preselected(rows, "en_GB"), "English B"); // 9/2 exactly
    EXPECT_EQ(Preselected(rows, "en_NZ"), "English A"); // 9/5 exactly

    // A named row wins over the locale.
    const QString path = Write("mine.qlnlang", Header("Mine", 12, 1));
    rows = FindLanguages();
    EXPECT_EQ(Preselected(rows, "de_DE", "english"), "English");
    EXPECT_EQ(Preselected(rows, "de_DE", path, true), "Mine");
    // Paths compare exactly; a path in other letters names no row.
    EXPECT_EQ(Preselected(rows, "de_DE", path.toUpper(), true), "Deutsch");
    // A file path never names a built-in row and a resource name never a file.
    EXPECT_EQ(Preselected(rows, "de_DE", "Mine"), "Deutsch");
    EXPECT_EQ(BestLanguageRow(TLanguageResList(), "english", false, WindowsLanguage(QLocale("de_DE"))), -1);
}

}
