#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Command pictures from the desktop's icon theme, and disabled pictures that
// look clearly off.

// Makes freedesktop icon names (QIcon::fromTheme) find pictures: when the
// platform reports no theme of its own (a bare window manager, the offscreen
// platform), an installed full theme is chosen, Adwaita first, and the XDG
// data folders are searched for it. Does nothing when the desktop chose a
// theme. Safe to call more than once.
void UseDesktopIconTheme();

// The picture greyed for a disabled command: grey, lightened and mostly
// transparent, so that it cannot be taken for an enabled one.
QPixmap GreyedPixmap(const QPixmap& picture);

// The picture with its lines standing out from a button of this colour: on
// a light button darkened, keeping its hues, where nothing of it is dark
// (themes tend to draw command pictures pale grey, which passes for
// disabled there); on a dark button lightened where nothing of it is light.
// A picture whose lines stand out already stays as it is.
QPixmap FullContrastPixmap(const QPixmap& picture, const QColor& button);

// The icon as a command shows it: its normal pictures at full contrast
// (FullContrastPixmap) against the button colour of the application's
// palette at the time they are drawn, its disabled ones greyed
// (GreyedPixmap), so that no one takes the one for the other.
QIcon CommandPicture(const QIcon& icon);
