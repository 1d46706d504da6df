#pragma once

// Version pages far below the size cap and shallow, whose markup asks Qt's
// rich-text engine for minutes of work and gigabytes, and pages just within
// the limits the update window sets. Shared by the tests and the benchmark.

#include "dialogs/HtmlWork.h"

#include <QString>

#include <vector>

struct THostileVersionPage {
    const char* Name;
    QString Html;
    // The limit the page passes; None: the page is shown.
    THtmlExcess Excess;
};

inline QString VersionPage(const QString& body)
{
    return QStringLiteral("<html><body><p>progversion1=3 progversion2=15</p>") + body
           + QStringLiteral("</body></html>");
}

// A style sheet of that many rules, each for its own class.
inline QString ClassRules(int count)
{
    QString rules;
    for (int rule = 0; rule < count; ++rule)
        rules += QStringLiteral(".c%1{color:red}").arg(rule);
    return rules;
}

inline std::vector<THostileVersionPage> HostileVersionPages()
{
    using E = THtmlExcess;
    const auto rows = [](const QString& row, int count) { return QStringLiteral("<table>") + row.repeated(count); };
    return {
        {"10 rows of 20 cells spanning 20480 columns",
         VersionPage(rows("<tr>" + QStringLiteral("<td colspan=20480>x").repeated(20), 10)), E::TableCells},
        {"10 rows of 50 cells spanning 20480 columns",
         VersionPage(rows("<tr>" + QStringLiteral("<td colspan=20480>x").repeated(50), 10)), E::TableCells},
        {"2000 rows of a cell spanning 99999999 rows", VersionPage(rows("<tr><td rowspan=99999999>x", 2000)),
         E::TableCells},
        {"30000 list items", VersionPage("<ul>" + QStringLiteral("<li>x").repeated(30000)), E::ListItems},
        {"20000 style rules, 60000 elements",
         VersionPage("<style>" + ClassRules(20000) + "</style>" + QStringLiteral("<b>x</b>").repeated(60000)),
         E::StyleCharacters},
        {"100000 cells in one row", VersionPage(rows("<tr>" + QStringLiteral("<td>x").repeated(100000), 1)),
         E::TableCells},
        {"45000 times <div><d&#105;v></div>", VersionPage(QStringLiteral("<div><d&#105;v></div>").repeated(45000)),
         E::Nesting},
        {"3500 style rules, 3000 elements 30 deep",
         VersionPage("<style>" + ClassRules(3500).left(60000) + "</style>" + QStringLiteral("<div>").repeated(28)
                     + QStringLiteral("<b>x</b>").repeated(3000)),
         E::StyleWork},
        {"1000 universal rules, 2000 elements",
         VersionPage("<style>" + QStringLiteral("*{color:red}").repeated(1000) + "</style>"
                     + QStringLiteral("<b>x</b>").repeated(2000)),
         E::StyleWork},
        {"4100 elements", VersionPage(QStringLiteral("<b>x</b>").repeated(4100)), E::Elements},
        // Just within the limits: shown.
        {"a table of 40 rows and 50 columns", VersionPage(rows("<tr>" + QStringLiteral("<td>x").repeated(50), 40)),
         E::None},
        {"10 rows of 6 cells spanning 20480 columns",
         VersionPage(rows("<tr>" + QStringLiteral("<td colspan=20480>x").repeated(6), 10)), E::None},
        {"1000 list items", VersionPage("<ul>" + QStringLiteral("<li>x").repeated(1000)), E::None},
        {"3900 elements, 30 deep", VersionPage(QStringLiteral("<div>").repeated(28) + QStringLiteral("<b>x</b>").repeated(3870)),
         E::None},
        {"20 universal rules, 3900 elements 30 deep",
         VersionPage("<style>" + QStringLiteral("*{color:red}").repeated(20) + "</style>"
                     + QStringLiteral("<div>").repeated(28) + QStringLiteral("<b>x</b>").repeated(3870)),
         E::None},
    };
}
