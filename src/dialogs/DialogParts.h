#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLayout;
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
// Widens such a selector, once its captions are set, so that the longest line
// of a caption is shown whole (a language's long word is never cut off).
void FitPageSelector(QListWidget* selector);
// The bold title above the shown page of such a dialog.
TMyThemedPanel* NewPageTitle(QWidget* parent);
// The body of such a dialog: the selector at the left, the title above the
// shown page at the right.
QHBoxLayout* NewPagedBody(QLayout* selector, QWidget* title, QWidget* pages);
// The row of buttons at the bottom of a dialog: extra (when given) at its
// left end, a stretch, then "%OK" (the default button, accepts) and
// "%Cancel" (rejects, as Esc does), named okName and cancelName.
struct TDialogButtons {
    QHBoxLayout* Row = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};
TDialogButtons NewOkCancelRow(QDialog* dialog, QWidget* extra = nullptr, const char* okName = "ButtonOK",
                              const char* cancelName = "ButtonCancel");
// A dialog's Help button opens its page of the program's help ("export.htm",
// see ShowHelpPage) and is shown; it is not the default button.
void ConnectHelpButton(QPushButton& button, const char* page);

}
