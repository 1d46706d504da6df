#include "export/ExportError.h"
#include "export/TemplateBlock.h"
#include "export/TemplateTagProducer.h"

#include <gtest/gtest.h>

namespace {

// Expands a template whose tags show as "[name|line|line...]".
QString Expand(const QString& text)
{
    TTemplateTagProducer producer;
    producer.SetHTMLDoc(text);
    producer.SetOnHTMLTag([](TTemplateTagProducer&, const QString& tag, const TTagParams& params, QString& out) {
        out = QLatin1Char('[') + QStringList(QStringList{tag} + params.Lines).join(QLatin1Char('|')) + QLatin1Char(']');
    });
    return producer.Content();
}

struct TExpansionCase {
    const char* Name;
    const char* Template;
    const char* Expected;
};

}

TEST(TemplateTagProducer, ExpandsTagsAndCopiesEverythingElse)
{
    const TExpansionCase cases[] = {
        {"no attributes", "a<#date>b", "a[date]b\r\n"},
        {"a blank between < and #", "< #date>", "[date]\r\n"},
        {"single-quoted > inside a tag", "<#x a='>'>z", "[x|a=>]z\r\n"},
        {"single quotes do not group", "<#x a='b c'>", "[x|a=b|c]\r\n"},
        {"double quotes keep blanks", R"(<#x a="b  c" d=e>)", "[x|a=b  c|d=e]\r\n"},
        {"URL decoding to UTF-8", "<#x a=b+c%41%%%C3%A9>", "[x|a=b cA%\xC3\xA9]\r\n"},
        {"blanks after < dropped", "<   div>", "<div>\r\n"},
        {"two < in a row", "<<#x>", "<<#x>\r\n"},
        {"no closing >", "a<#x b=c\r\nd e", "a[x|b=c|d|e]"},
        {"line breaks become CR LF", "a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
        {"a < at the very end takes the line break", "x<", "x<"},
    };
    for (const TExpansionCase& c : cases)
        EXPECT_EQ(Expand(QString::fromUtf8(c.Template)), QString::fromUtf8(c.Expected)) << c.Name;

    // Malformed escapes are errors.
    for (const char* bad : {"<#x a=%4>", "<#x a=%GG>", "<#x a=b%>"})
        EXPECT_THROW(Expand(QString::fromLatin1(bad)), TExportError) << bad;

    // Lines of any length expand.
    const QString longLine = QString(10000, QLatin1Char('x'));
    EXPECT_EQ(Expand(longLine + QStringLiteral("<#t>") + longLine), longLine + QStringLiteral("[t]") + longLine +
                                                                          QStringLiteral("\r\n"));

    // Without a handler tags vanish.
    TTemplateTagProducer producer;
    producer.SetHTMLDoc(QStringLiteral("a<#b>c"));
    EXPECT_EQ(producer.Content(), QStringLiteral("ac\r\n"));
}

TEST(TemplateBlock, CutsTheBlockBetweenItsTags)
{
    // Template, page, body: from the first begin tag to the last end tag; no
    // end tag ends the block at the end; an end marker before or inside the
    // begin tag is no end.
    const char* const cases[][3] = {
        {"a<#beginloop>1<#endloop>2<#endloop>b", "a<R>b", "1<#endloop>2"},
        {"a<#beginloop>rest", "a<R>", "rest"},
        {"<#endloop>x<#beginloop>y", "<#endloop>x<R>", "y"},
        {"<#beginloop #endloop>y", "<R>", "y"},
    };
    const QString begin = QStringLiteral("#beginloop");
    const QString end = QStringLiteral("#endloop");
    QString body;
    TTagParams attributes;
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c[0]);
        EXPECT_TRUE(ExtractTemplateBlock(begin, end, QStringLiteral("<R>"), text, body, attributes)) << c[0];
        EXPECT_EQ(QStringList({text, body}), QStringList({QString::fromLatin1(c[1]), QString::fromLatin1(c[2])}));
    }

    QString text = QStringLiteral(R"(<#beginloop groupby="TPE1" loopinnewfile = "true">g<#endloop>)");
    ASSERT_TRUE(ExtractTemplateBlock(begin, end, QString(), text, body, attributes));
    EXPECT_EQ(attributes.Value(QStringLiteral("GROUPBY")), QStringLiteral("TPE1"));
    EXPECT_EQ(attributes.Value(QStringLiteral("loopinnewfile")), QString()) << "blanks around = split the pair";
    QString none = QStringLiteral("nothing here");
    EXPECT_FALSE(ExtractTemplateBlock(begin, end, QString(), none, body, attributes));
    EXPECT_EQ(none, QStringLiteral("nothing here"));
}
