#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;
class TLayoutList;
class TMyThemedPanel;

// Pieces the program's dialogs are built from. Captions are "%" + language
// key; the dialog translates itself once it is built.
namespace DialogParts {

// A push button with an object name.
QPushButton* NewButton(QWidget* parent, const char* name, const char* caption);
// A word-wrapped label showing plain text.
QLabel* NewTextLabel(QWidget* parent, const QString& caption);
// The heading above a list: a themed band with the caption at its left.
TMyThemedPanel* NewHeading(QWidget* parent, const QString& caption);
// A list under its heading, in one column widget.
QWidget* HeadedList(QWidget* parent, const QString& heading, TLayoutList* list);
// The row of "%OK" (default button) and "%Cancel" at the bottom right of a
// dialog, wired to accept and reject; extra goes to the row's left end.
QBoxLayout* NewOkCancelRow(QDialog* dialog, QWidget* extra = nullptr);

}
