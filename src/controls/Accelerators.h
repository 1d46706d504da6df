#pragma once

#include <QString>

// Menus, tabs and buttons take "&" as the mark of an accelerator key. Texts
// the user typed (page titles, template names, server lines) are shown as
// typed, and no text is ever read back from such a caption.

// The text to give a menu item, tab or button so that it shows text exactly:
// every "&" doubled.
QString LiteralCaption(const QString& text);

// A caption without its accelerator marks: scanning from the left, each "&"
// is dropped and the character after it is taken over unexamined (so "&&"
// gives "&").
QString StripAccelerator(const QString& caption);

// A caption shown where it is no caption: a window's title, a tool tip, an
// entry of a list. It loses its accelerator marks (StripAccelerator) and the
// dots ("..." or "\u2026") that in a menu announce a dialog.
QString PlainCaption(const QString& caption);
