#include "export/DefaultTemplate.h"

#include "common/ColumnCatalogue.h"

#include <QStringList>

namespace {

struct TColumn {
    QString ID;
    bool Link;
};

QList<TColumn> KnownColumns(const TStringArray& ids, const TBoolArray& links)
{
    QList<TColumn> columns;
    for (qsizetype i = 0; i < ids.size(); ++i)
        if (FindColumn(ids.at(i)))
            columns.append({ids.at(i), i < links.size() && links.at(i)});
    return columns;
}

QString StyleRule(const char* selector, const char* properties)
{
    return QStringLiteral("%1 { %2; text-decoration: none }").arg(QLatin1String(selector), QLatin1String(properties));
}

const QString TableTag = QStringLiteral(R"(<table border="0" width="100%" cellspacing="2" cellpadding="1">)");
const QString BackLink = QStringLiteral(R"(<a href="javascript: history.back(-1);" class="klein">Zur&uuml;ck</a>)");

void AddTitleRow(QStringList& pieces, const QList<TColumn>& columns)
{
    pieces << QStringLiteral(R"(<tr bgcolor="#aaaaaa">)");
    for (const TColumn& column : columns)
        pieces << QStringLiteral(R"(<td class="mp3info"><#Title ID="%1"></td>)").arg(column.ID);
    pieces << QStringLiteral("</tr>");
}

void AddLoop(QStringList& pieces, const QList<TColumn>& columns)
{
    pieces << QStringLiteral("<#beginloop>") << QStringLiteral(R"(<tr bgcolor="<#bgcolor>">)");
    for (const TColumn& column : columns) {
        const QString content = QStringLiteral(R"(<#Content ID="%1">)").arg(column.ID);
        pieces << QStringLiteral(R"(<td class="mp3info">)") +
                      (column.Link ? QStringLiteral(R"(<a href="<#MP3Link>" class="mp3info">%1</a>)").arg(content)
                                   : content) +
                      QStringLiteral("</td>");
    }
    pieces << QStringLiteral("</tr>") << QStringLiteral("<#endloop>");
}

// Groups on this page, each with its header row and its files.
void AddGroupedTable(QStringList& pieces, const QList<TColumn>& columns, const QString& field, bool nested)
{
    // The header cell spans all columns but the count's; never less than one.
    const QString span = QString::number(qMax(1, static_cast<int>(columns.size()) - 1));
    pieces << TableTag;
    if (!nested) {
        pieces << QStringLiteral(R"(<#begingroup groupby="%1" loopinnewfile="false">)").arg(field)
               << QStringLiteral("<tr>") << QStringLiteral(R"(<td class="grouptitle" colspan="%1">)").arg(span)
               << QStringLiteral(R"(<br></td><td class="mp3info"><br></td>)") << QStringLiteral("</tr>");
    }
    pieces << QStringLiteral("<tr>") << QStringLiteral(R"(<td class="grouptitle" colspan="%1">)").arg(span)
           << QStringLiteral(R"(<#groupvalue ifempty="[leer]">)")
           << QStringLiteral(R"(</td><td class="mp3info" align="right" valign="middle">)")
           << QStringLiteral("<#groupfilecount>") << QStringLiteral("</td>") << QStringLiteral("</tr>");
    AddTitleRow(pieces, columns);
    AddLoop(pieces, columns);
    if (!nested)
        pieces << QStringLiteral("<#endgroup>");
    pieces << QStringLiteral("</table>");
}

// The index page: one row per group, linking to its page.
void AddIndexTable(QStringList& pieces, const QString& field)
{
    pieces << TableTag << QStringLiteral(R"(<tr bgcolor="#aaaaaa">)")
           << QStringLiteral(R"(<td class="mp3info"><#Title ID="%1"></td>)").arg(field)
           << QStringLiteral(R"(<td class="mp3info">Anzahl</td>)") << QStringLiteral("</tr>")
           << QStringLiteral(R"(<#begingroup groupby="%1" loopinnewfile="true">)").arg(field)
           << QStringLiteral(R"(<tr bgcolor="<#bgcolor>">)")
           << QStringLiteral(
                  R"(<td class="mp3info"><a href="<#groupfilename>" class="mp3info"><#groupvalue ifempty="[leer]"></a></td>)")
           << QStringLiteral(R"(<td class="mp3info"><#groupfilecount></td>)") << QStringLiteral("</tr>")
           << QStringLiteral("<#endgroup>") << QStringLiteral("</table>");
}

}

QString BuildDefaultTemplate(const TStringArray& columnIds, const TBoolArray& links, const QString& groupField,
                             bool manyFiles, bool nested)
{
    const QList<TColumn> columns = KnownColumns(columnIds, links);
    const bool grouped = !groupField.isEmpty();
    const bool groupsOnThisPage = grouped && (!manyFiles || nested);

    QStringList pieces;
    pieces << QStringLiteral(R"(<#BGColor1 Color="#dddddd"><#BGColor2 Color="#eeeeee"><html>)")
           << QStringLiteral("<head>") << QStringLiteral("<title>Quillon - Dateiliste</title>")
           << QStringLiteral("<style>") << QStringLiteral("<!--")
           << StyleRule(".mp3title", "font-family: Verdana, Arial; font-size: 12pt; color: black; font-weight: bold")
           << StyleRule(".mp3info", "font-size: 9pt; color: black; font-weight: normal")
           << StyleRule("a.mp3info", "font-size: 9pt; color: #0033FF")
           << StyleRule("a.mp3info:hover", "font-size: 9pt; color: #ff0000");
    if (groupsOnThisPage) {
        pieces << StyleRule(".grouptitle", "font-size: 12pt; color: #333333; font-weight: bold")
               << StyleRule("a.grouptitle", "font-size: 12pt; color: #0033FF; font-weight: bold")
               << StyleRule("a.grouptitle:hover", "font-size: 12pt; color: #ff0000; font-weight: bold");
    }
    pieces << StyleRule(".klein", "font-size: 8pt; color: black; font-weight: normal")
           << StyleRule("a.klein", "font-size: 8pt; color: #0033FF")
           << StyleRule("a.klein:hover", "font-size: 8pt; color: #ff0000") << QStringLiteral("-->")
           << QStringLiteral("</style>") << QStringLiteral("</head>") << QStringLiteral("<body>");
    if (nested)
        pieces << QStringLiteral(R"(<div class="klein">%1<br><br></div>)").arg(BackLink);
    pieces << QStringLiteral(R"(<div class="mp3title">Quillon - Dateiliste</div>)")
           << QStringLiteral(R"(<div class="klein">erstellt am <#date><br>Verzeichnis: <#dir><br><br></div>)");

    if (groupsOnThisPage) {
        AddGroupedTable(pieces, columns, groupField, nested);
    } else if (grouped) {
        AddIndexTable(pieces, groupField);
    } else {
        pieces << TableTag;
        AddTitleRow(pieces, columns);
        AddLoop(pieces, columns);
        pieces << QStringLiteral("</table>");
    }

    if (nested)
        pieces << QStringLiteral(R"(<div class="klein"><br>%1</div>)").arg(BackLink);
    pieces << QStringLiteral("</body>") << QStringLiteral("</html>");
    if (grouped && manyFiles && !nested) {
        pieces << QStringLiteral("<#beginloopfile>") + QStringLiteral("\r\n") +
                      BuildDefaultTemplate(columnIds, links, groupField, false, true) + QStringLiteral("\r\n") +
                      QStringLiteral("<#endloopfile>");
    }
    QString text;
    for (const QString& piece : pieces)
        text += piece + QStringLiteral("\r\n");
    return text;
}
