// Every key the program's sources look up by a literal must be in both
// built-in languages, and both languages must give each text the same
// placeholders, which the formatter must accept.
//
// Recognised lookups (comments are skipped):
//     Lang("Key")  LangFmt("Key", ...)  GetLangString("Key")  FormatLangString("Key", ...)
// also with QStringLiteral("Key") / QLatin1String("Key") as argument, and every
// string literal that is a caption key as a whole: "%Key".

#include "localisation/LangFormat.h"
#include "localisation/LanguageLoader.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct TKeyUse {
    QString key;
    QString place; // file:line
};

// The source with its comments blanked out; string and character literals
// and line numbers stay.
QString WithoutComments(QString source)
{
    static const QRegularExpression token(
        QStringLiteral(R"re("(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'|//[^\n]*|/\*[\s\S]*?(?:\*/|$))re"));
    for (auto it = token.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1Char('/')))
            for (qsizetype i = m.capturedStart(); i < m.capturedEnd(); ++i)
                if (source[i] != QLatin1Char('\n'))
                    source[i] = QLatin1Char(' ');
    }
    return source;
}

std::vector<TKeyUse> KeysLookedUpInSources()
{
    static const QRegularExpression call(
        QStringLiteral(R"re(\b(?:Lang|LangFmt|GetLangString|FormatLangString)\s*\(\s*)re"
                       R"re((?:(?:QStringLiteral|QLatin1String|QString::fromLatin1)\s*\(\s*|u)?"([^"\\]*)")re"));
    static const QRegularExpression caption(QStringLiteral(R"re("%([A-Za-z][A-Za-z0-9]+)")re"));
    const QString root = QStringLiteral(QUILLON_SOURCE_DIR "/src");
    std::vector<TKeyUse> uses;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString code = WithoutComments(QString::fromUtf8(file.readAll()));
        for (const QRegularExpression* pattern : {&call, &caption}) {
            auto matches = pattern->globalMatch(code);
            while (matches.hasNext()) {
                const QRegularExpressionMatch m = matches.next();
                const int line = static_cast<int>(code.left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
                uses.push_back({m.captured(1), QStringLiteral("%1:%2").arg(path.mid(root.size() + 1)).arg(line)});
            }
        }
    }
    return uses;
}

TLanguageLines BuiltIn(const char* name)
{
    return TLanguageLines::FromBytes(ReadBuiltInLanguage(QString::fromLatin1(name)).value_or(QByteArray()));
}

// The specifiers of a text ("%0:s", "%1:d"), sorted.
QStringList Placeholders(const QString& text)
{
    static const QRegularExpression specifier(QStringLiteral(R"(%%|%(?:\d+:)?-?\d*(?:\.\d+)?[A-Za-z])"));
    QStringList found;
    auto matches = specifier.globalMatch(text);
    while (matches.hasNext()) {
        const QString s = matches.next().captured(0);
        if (s != QLatin1String("%%"))
            found << s;
    }
    found.sort();
    return found;
}

// Arguments that fit the text's placeholders, each of the kind its type needs.
TLangArgs ArgumentsFor(const QStringList& placeholders)
{
    std::map<int, QChar> types;
    int next = 0;
    for (const QString& p : placeholders) {
        const qsizetype colon = p.indexOf(QLatin1Char(':'));
        const int index = colon > 0 ? p.mid(1, colon - 1).toInt() : next;
        types[index] = p.back().toLower();
        next = index + 1;
    }
    TLangArgs args;
    for (int i = 0; !types.empty() && i <= types.rbegin()->first; ++i) {
        const QChar type = types.count(i) ? types[i] : QChar('s');
        if (type == 's')
            args.emplace_back("text");
        else if (QStringLiteral("dux").contains(type))
            args.emplace_back(1);
        else
            args.emplace_back(1.5);
    }
    return args;
}

TEST(LanguageKeysTest, EveryKeyLookedUpIsInBothBuiltInLanguages)
{
    const TLanguageLines german = BuiltIn("GERMAN");
    const TLanguageLines english = BuiltIn("ENGLISH");
    ASSERT_FALSE(german.IsEmpty());
    ASSERT_FALSE(english.IsEmpty());

    const std::vector<TKeyUse> uses = KeysLookedUpInSources();
    std::set<QString> keys;
    QStringList missing;
    for (const TKeyUse& use : uses) {
        keys.insert(use.key);
        if (!german.HasKey(use.key) || !english.HasKey(use.key))
            missing << use.key + QStringLiteral(" (") + use.place + QLatin1Char(')');
    }
    EXPECT_TRUE(missing.isEmpty()) << "keys missing from a built-in language:\n"
                                   << missing.join(QLatin1Char('\n')).toStdString();
    // The scan sees the lookups of the language selector itself.
    EXPECT_TRUE(keys.count(QStringLiteral("LanguageStateOK")));
    EXPECT_TRUE(keys.count(QStringLiteral("LanguageRestartInfo")));
}

TEST(LanguageKeysTest, BothLanguagesGiveEveryTextTheSamePlaceholders)
{
    const TLanguageLines german = BuiltIn("GERMAN");
    const TLanguageLines english = BuiltIn("ENGLISH");
    QStringList problems;
    int checked = 0;
    for (const QString& line : english.Lines()) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq);
        const QStringList placeholders = Placeholders(english.Value(key));
        if (german.HasKey(key) && Placeholders(german.Value(key)) != placeholders)
            problems << key + QStringLiteral(": placeholders differ");
        // Every placeholder names its argument, so that a translation may reorder them.
        if (placeholders.filter(QStringLiteral(":")).size() != placeholders.size())
            problems << key + QStringLiteral(": placeholder without index");
        for (const TLanguageLines* lines : {&german, &english}) {
            const QString text = lines->Value(key);
            if (!FormatPositional(text, ArgumentsFor(Placeholders(text))))
                problems << key + QStringLiteral(": cannot be formatted: ") + text;
        }
        checked += placeholders.isEmpty() ? 0 : 1;
    }
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(checked, 20);
}

}
