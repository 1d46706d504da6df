#pragma once

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

// The picture darkened, keeping its hues, where nothing of it is dark, so
// that it would pass for a disabled one on a light button (themes tend to
// draw command pictures pale grey); a picture with dark lines stays as it is.
QPixmap FullContrastPixmap(const QPixmap& picture);

// The icon as a command shows it, at the sizes commands are shown in: its
// normal pictures at full contrast (FullContrastPixmap), its disabled ones
// greyed (GreyedPixmap), so that no one takes the one for the other.
QIcon CommandPicture(const QIcon& icon);
