#pragma once

#include <QString>
#include <QStringList>

// Lists of texts stored as one text, compatible with the stored values of
// earlier versions: items are separated by commas; an item holding a blank,
// a control character, a comma or a double quote is written in double quotes
// with its quotes doubled. A list of one empty item is written as "".
//
// Reading skips blanks and control characters between items; an unquoted
// item ends at the first comma, blank or control character (so "a b" reads
// as two items, as it always did); a quoted item runs to its closing quote
// (the rest of the text when there is none), "" inside it being one quote. A
// comma at the very end adds an empty item.
QString CommaText(const QStringList& items);
QStringList FromCommaText(const QString& text);
