#pragma once

class QTextEdit;

// Shows the tool tips of a text view's document (the titles of a page's
// elements) as plain text. Qt shows a tip that looks like rich text as a
// document of its own, which loads the pictures and backgrounds it names from
// this machine's files. A long tip is cut short and broken into lines that
// fit the screen, a word without blanks too. The view shows its tips this way
// for as long as it lives.
void ShowToolTipsAsPlainText(QTextEdit& view);
