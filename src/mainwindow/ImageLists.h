#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's own pictures, drawn when first needed (no image files).
namespace ImageLists {

// Indexes of the tool-button image list that the main window uses.
enum TToolImage { tiFile = 0, tiTemplate = 1, tiReadFailed = 23, tiUnsupported = 43, ToolImageCount = 50 };

// The tool-button image list: ToolImageCount entries, the unused ones empty.
const QList<QIcon>& ToolButtonImages();
// The status bar's images: 0 nothing selected, 1 one file, 2 several files,
// 3 a folder being loaded.
QIcon StatusBarImage(int index);
constexpr int StatusBarImageCount = 4;
// The start screen's picture (372 x 259).
QPixmap StartScreenPicture(const QString& version);
// The program's window icon.
QIcon ProgramIcon();
// A button image showing one letter, for commands without a picture.
QIcon LetterIcon(QChar letter);
// Our own picture of a command that the desktop theme may lack (undo,
// clipboard, names and tags, ...); a null icon for other commands.
QIcon CommandIcon(const QString& action);

}
