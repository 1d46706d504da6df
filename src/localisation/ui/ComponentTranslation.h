#pragma once

#include <QString>

class QObject;

// Windows carry language keys instead of texts: a caption, tool tip, status
// tip or file-dialog filter of the form "%Key" is replaced by the key's text,
// "%%word" by "%word" (see TMultiLanguage::TranslateText).
//
// TranslateComponentTree translates object and every object below it in its
// QObject tree, each object once: a window or frame calls it on itself right
// after building its children, and a later call on an enclosing window leaves
// what was translated alone. Texts set from language files are shown as plain
// text, never as rich text.
void TranslateComponentTree(QObject* root);
// Translates the texts of one object (not its children).
void TranslateComponent(QObject* object);

// A tool tip that shows text literally even when it looks like rich text.
QString PlainToolTip(const QString& text);
// The tool tip of a command: its hint, or without one its caption as plain
// text.
QString CommandToolTip(const QString& caption, const QString& hint);
