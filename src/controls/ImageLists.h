#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's own pictures, drawn when first needed (no image files).
namespace ImageLists {

// Indexes of the tool-button image list that the main window uses.
enum TToolImage {
    tiFile = 0,
    tiTemplate = 1,
    tiReadFailed = 23,
    tiUnsupported = 43,
    tiFavorite = 49,
    ToolImageCount = 50
};

// The tool-button image list: ToolImageCount entries, the unused ones empty.
const QList<QIcon>& ToolButtonImages();
// The status bar's images: 0 nothing selected, 1 one file, 2 several files,
// 3 a folder being loaded.
QIcon StatusBarImage(int index);
constexpr int StatusBarImageCount = 4;
// The start screen's picture (372 x 259).
QPixmap StartScreenPicture(const QString& version);
// The about box's picture (372 x 259): the start screen's backdrop with a
// close mark in the top right corner (18 x 18), the contact address in the
// band EmailLine and the web site in the band WebSiteLine.
QPixmap AboutBoxPicture(const QString& contact, const QString& webSite);
inline constexpr int AboutEmailLineTop = 196;
inline constexpr int AboutWebSiteLineTop = 220;
// The program's window icon.
QIcon ProgramIcon();
// A button image showing one letter, for commands without a picture.
QIcon LetterIcon(QChar letter);
// Our own picture of a command that the desktop theme may lack (undo,
// clipboard, names and tags, ...) or draw too faintly (the arrows of folder
// navigation and of the CD lookup's rows, play); a null icon for other
// commands.
QIcon CommandIcon(const QString& action);

}
