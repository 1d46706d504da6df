#include "common/ColumnCatalogue.h"

#include "common/StaticLists.h"

#include "localisation/MultiLanguage.h"

namespace {

constexpr const char* DefaultColumnIDs[] = {
    "*FIN", "TPE1", "TIT2", "TALB", "TRCK", "TDRC", "TCON", "COMM", "*LEN", "*SIZ",
};

} // namespace

// clang-format off
const std::array<TSpalte, ColumnCount> ColumnCatalogue = {{
    {"*FIN", true,  "COL*FIN", 150, false},
    {"*DIR", true,  "COL*DIR", 150, false},
    {"*SIZ", false, "COL*SIZ",  65, true},
    {"*ATT", false, "COL*ATT",  55, false},
    {"*DAT", false, "COL*DAT", 120, false},
    {"*MPG", false, "COL*MPG",  95, false},
    {"*BIT", false, "COL*BIT",  80, true},
    {"*FQZ", false, "COL*FQZ",  60, true},
    {"*STE", false, "COL*STE",  80, false},
    {"*LEN", false, "COL*LEN",  60, true},
    {"*ID3", false, "COL*ID3",  60, false},
    {"TIT2", true,  "COLTIT2", 100, false},
    {"TIT3", true,  "COLTIT3",  80, false},
    {"TPE1", true,  "COLTPE1", 100, false},
    {"TPE2", true,  "COLTPE2",  80, false},
    {"TALB", true,  "COLTALB", 100, false},
    {"TPOS", false, "COLTPOS",  80, true},
    {"TRCK", false, "COLTRCK",  80, true},
    {"COMM", true,  "COLCOMM", 100, false},
    {"TCON", true,  "COLTCON",  80, false},
    {"TCOM", true,  "COLTCOM",  80, false},
    {"TEXT", true,  "COLTEXT",  80, false},
    {"TPE3", true,  "COLTPE3",  80, false},
    {"TENC", true,  "COLTENC",  80, false},
    {"TPE4", true,  "COLTPE4",  80, false},
    {"TIT1", true,  "COLTIT1",  80, false},
    {"TMOO", true,  "COLTMOO",  80, false},
    {"TOAL", false, "COLTOAL",  80, false},
    {"TOFN", false, "COLTOFN",  80, false},
    {"TOLY", false, "COLTOLY",  80, false},
    {"TOPE", false, "COLTOPE",  80, false},
    {"TOWN", false, "COLTOWN",  80, false},
    {"TPUB", false, "COLTPUB",  80, false},
    {"TRSN", false, "COLTRSN",  80, false},
    {"TRSO", false, "COLTRSO",  80, false},
    {"TSST", false, "COLTSST",  80, false},
    {"TSOA", false, "COLTSOA",  80, false},
    {"TSOP", false, "COLTSOP",  80, false},
    {"TSOT", false, "COLTSOT",  80, false},
    {"TDEN", false, "COLTDEN", 115, false},
    {"TDOR", false, "COLTDOR", 115, false},
    {"TDRC", false, "COLTDRC", 115, false},
    {"TDRL", false, "COLTDRL",  80, false},
    {"TDTG", false, "COLTDTG", 115, false},
    {"TXXX", false, "COLTXXX",  80, false},
    {"WCOM", false, "COLWCOM",  80, false},
    {"WCOP", false, "COLWCOP",  80, false},
    {"WOAF", false, "COLWOAF",  80, false},
    {"WOAR", false, "COLWOAR",  80, false},
    {"WOAS", false, "COLWOAS",  80, false},
    {"WPAY", false, "COLWPAY",  80, false},
    {"WPUB", false, "COLWPUB",  80, false},
    {"WXXX", false, "COLWXXX",  80, false},
}};
// clang-format on

int FindColumnIndex(const QString& id)
{
    for (int i = 0; i < ColumnCount; ++i) {
        if (id == QLatin1StringView(ColumnCatalogue[i].ID))
            return i;
    }
    return -1;
}

const TSpalte* FindColumn(const QString& id)
{
    const int index = FindColumnIndex(id);
    return index < 0 ? nullptr : &ColumnCatalogue[index];
}

QString ColumnCaption(const TSpalte& column)
{
    return Lang(QString::fromLatin1(column.CaptionKey));
}

const TStringArray& DefaultColumns()
{
    static const TStringArray columns = ToStringArray(DefaultColumnIDs);
    return columns;
}
