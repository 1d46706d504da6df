#pragma once

#include <QString>
#include <QStringList>

// A list of strings stored as one line of comma-separated items. An item
// holding a blank, a control character, a comma or a double quote is put in
// double quotes, each double quote inside doubled; every other item stands
// bare. A list of exactly one empty item is written as two double quotes.
QString JoinCommaText(const QStringList& items);

// The items of a comma text. Blanks and control characters before an item are
// skipped; a quoted item runs to its closing quote (a doubled quote is one
// quote, a missing closing quote ends it at the end of the text); a bare item
// ends at the first blank, control character or comma. Two commas in a row
// give an empty item, and so does a comma at the very end.
QStringList SplitCommaText(const QString& text);
