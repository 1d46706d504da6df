#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLabel;
class QListWidget;
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
// The page selector at the left of a dialog with pages: one large picture
// per page in a column, its caption below it.
QListWidget* NewPageSelector(QWidget* parent, int width, int iconSize);
// The bold title above the shown page of such a dialog.
TMyThemedPanel* NewPageTitle(QWidget* parent);
// The row of "%OK" (default button) and "%Cancel" at the bottom right of a
// dialog, wired to accept and reject; extra goes to the row's left end.
QBoxLayout* NewOkCancelRow(QDialog* dialog, QWidget* extra = nullptr);

}
