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
    struct TCase {
        const char* Name;
        const char* Template;
        const char* Page;
        const char* Body;
    };
    const TCase cases[] = {
        {"first begin, last end", "a<#beginloop>1<#endloop>2<#endloop>b", "a<R>b", "1<#endloop>2"},
        {"no end marker", "a<#beginloop>rest", "a<R>", "rest"},
        {"an end marker before the begin is no end", "<#endloop>x<#beginloop>y", "<#endloop>x<R>", "y"},
        {"an end marker inside the begin tag is no end", "<#beginloop #endloop>y", "<R>", "y"},
    };
    for (const TCase& c : cases) {
        QString text = QString::fromLatin1(c.Template);
        QString body;
        TTagParams attributes;
        EXPECT_TRUE(ExtractTemplateBlock(QStringLiteral("#beginloop"), QStringLiteral("#endloop"),
                                         QStringLiteral("<R>"), text, body, attributes))
            << c.Name;
        EXPECT_EQ(text, QString::fromLatin1(c.Page)) << c.Name;
        EXPECT_EQ(body, QString::fromLatin1(c.Body)) << c.Name;
    }

    QString text = QStringLiteral(R"(<#begingroup groupby="TPE1" loopinnewfile = "true" x="a b">g<#endgroup>)");
    QString body;
    TTagParams attributes;
    ASSERT_TRUE(ExtractTemplateBlock(QStringLiteral("#begingroup"), QStringLiteral("#endgroup"), QString(), text,
                                     body, attributes));
    EXPECT_EQ(attributes.Value(QStringLiteral("GROUPBY")), QStringLiteral("TPE1"));
    EXPECT_EQ(attributes.Value(QStringLiteral("x")), QStringLiteral("a b"));
    EXPECT_EQ(attributes.Value(QStringLiteral("loopinnewfile")), QString()) << "blanks around = split the pair";

    QString none = QStringLiteral("nothing here");
    EXPECT_FALSE(ExtractTemplateBlock(QStringLiteral("#beginloop"), QStringLiteral("#endloop"), QString(), none,
                                      body, attributes));
    EXPECT_EQ(none, QStringLiteral("nothing here"));
}
