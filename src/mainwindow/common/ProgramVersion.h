#pragma once

// The program's version text, shown in captions, sent to the CD database and
// compared by the update check and the language files.
inline constexpr char ProgramVersion[] = "3.14";
