#include "common/ToolbarButtons.h"

#include "common/StaticLists.h"

namespace {

constexpr const char* DefaultToolbarCodes[] = {
    "DIRB", "DIRN", "DIRP", "----", "DIRR", "----", "UNDO", "----", "ECUT", "ECPY", "EPST",
    "----", "VONE", "VALL", "I3FI", "FII3", "TRNO", "REPL", "GRKL", "----", "EDEL",
};

template <typename Matches>
const TSymbolleistenButton* FindButton(Matches matches)
{
    for (const TSymbolleistenButton& button : ToolbarButtons) {
        if (matches(button))
            return &button;
    }
    return nullptr;
}

} // namespace

// clang-format off
const std::array<TSymbolleistenButton, ToolbarButtonCount> ToolbarButtons = {{
    {"SETT", "ActEinstellungen",        tbsButton,   ""},
    {"EXPT", "ActExport",               tbsButton,   ""},
    {"BRWL", "ActBrowserleiste",        tbsButton,   ""},
    {"SRCH", "ActShowSearch",           tbsButton,   ""},
    {"DIRB", "ActDirZurueck",           tbsDropDown, "PopDirZurueck"},
    {"DIRN", "ActDirVor",               tbsDropDown, "PopDirVorwaerts"},
    {"DIRP", "ActAufwaerts",            tbsButton,   ""},
    {"DIRR", "ActUnterordner",          tbsButton,   ""},
    {"UNDO", "ActUndo",                 tbsButton,   ""},
    {"ECUT", "EditCut1",                tbsButton,   ""},
    {"ECPY", "EditCopy1",               tbsButton,   ""},
    {"EPST", "EditPaste1",              tbsButton,   ""},
    {"PLAY", "ActPlay",                 tbsButton,   ""},
    {"VALL", "ActAllesUebernehmen",     tbsButton,   ""},
    {"VONE", "ActFeldUebernehmen",      tbsButton,   ""},
    {"I2I1", "ActID3v2ToID3v1",         tbsButton,   ""},
    {"I3FI", "ActID3FromFilename",      tbsButton,   ""},
    {"TRNO", "ActAutoTrackNo",          tbsButton,   ""},
    {"REPL", "ActReplaceInFrames",      tbsButton,   ""},
    {"FII3", "ActFilenameFromID3",      tbsButton,   ""},
    {"FNPR", "ActChangeFileNamePreset", tbsButton,   "PopFilenamePresets"},
    {"GRKL", "ActGrossKleinSchreibung", tbsButton,   "PopGrossKlein"},
    {"CDDB", "ActID3FromCDDB",          tbsButton,   ""},
    {"EDEL", "ActAlleFelderLoeschen",   tbsButton,   ""},
    {"REFR", "ActAktuallisieren",       tbsButton,   ""},
    {"FCPY", "ActCopyFileTo",           tbsButton,   "PopCopyFileTo"},
    {"FMOV", "ActMoveFileTo",           tbsButton,   "PopMoveFileTo"},
    {"FDEL", "ActDeleteFile",           tbsButton,   ""},
    {"HELP", "ActHilfe",                tbsButton,   ""},
}};
// clang-format on

const TSymbolleistenButton* FindToolbarButton(const QString& code)
{
    return FindButton([&](const TSymbolleistenButton& b) { return code == QLatin1StringView(b.Code); });
}

const TSymbolleistenButton* FindToolbarButtonByAction(const QString& actionName)
{
    return FindButton(
        [&](const TSymbolleistenButton& b) { return actionName == QLatin1StringView(b.ActionName); });
}

const TStringArray& DefaultToolbar()
{
    static const TStringArray codes = ToStringArray(DefaultToolbarCodes);
    return codes;
}
