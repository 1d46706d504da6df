#include "common/FieldLists.h"

#include "common/StaticLists.h"

namespace {

constexpr const char* CaseConversionIDs[] = {"TIT2", "TPE1", "TALB", "COMM"};

constexpr const char* SearchFieldIDs[] = {
    "*FIN", "TPE1", "TIT2", "TALB", "TIT1", "TIT3", "TSST", "TPE2",
    "TPE3", "TPE4", "TEXT", "TCOM", "TENC", "TCON", "TMOO", "COMM",
};

constexpr const char* ExportGroupFieldIDs[] = {
    "*FIN", "TPE1", "TIT2", "TALB", "TIT1", "TIT3", "TSST", "TPE2",
    "TPE3", "TPE4", "TEXT", "TCOM", "TENC", "TCON", "TMOO", "COMM",
};

constexpr const char* ReplaceFieldIDs[] = {
    "*FIN", "TIT2", "TIT3", "TPE1", "TPE2", "TALB", "TCON", "TCOM",
    "TEXT", "TPE3", "TENC", "TPE4", "TIT1", "TMOO", "COMM",
};

} // namespace

const TStringArray& CaseConversionFrames()
{
    static const TStringArray ids = ToStringArray(CaseConversionIDs);
    return ids;
}

const TStringArray& SearchFields()
{
    static const TStringArray ids = ToStringArray(SearchFieldIDs);
    return ids;
}

const TStringArray& ExportGroupFields()
{
    static const TStringArray ids = ToStringArray(ExportGroupFieldIDs);
    return ids;
}

const TStringArray& ReplaceFields()
{
    static const TStringArray ids = ToStringArray(ReplaceFieldIDs);
    return ids;
}
