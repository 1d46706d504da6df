#pragma once

// The program's version: major 3, minor 14. The text (major, a point, the
// minor number with at least two digits) is shown in captions, sent to the CD
// database and compared by the update check and the language files; the
// numbers are what the update check compares with the newest version. Change
// all three together.
inline constexpr int ProgramMajorVersion = 3;
inline constexpr int ProgramMinorVersion = 14;
inline constexpr char ProgramVersion[] = "3.14";

// The product's web site (the home page; the update check's version page lies
// below it and the links the update window opens must lie on it) and the
// contact address the about box offers.
inline constexpr char ProgramWebSite[] = "https://www.orvane.net/quillon";
inline constexpr char ProgramContactAddress[] = "quillon@orvane.net";
// Appended to the web site, then the version text: the version page.
inline constexpr char ProgramVersionPagePath[] = "/version.htm?ver=";
