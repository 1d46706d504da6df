#pragma once

#include <QString>

class QComboBox;

// The language drop-down list of the comment dialogs: "[unknown]" first, then
// every language of the language table with its three-letter code.
class TLanguageChoice {
public:
    // Fills the list; it is the caller's and outlives this object.
    explicit TLanguageChoice(QComboBox* box);
    TLanguageChoice(const TLanguageChoice&) = delete;
    TLanguageChoice& operator=(const TLanguageChoice&) = delete;

    // Chooses the language of the code (ignoring case; "[unknown]" when the
    // table lacks it or the code is empty) and remembers the code.
    void Select(const QString& code);
    // The chosen language's code; "XXX" for "[unknown]". Until the user
    // chooses a row, the code given to Select as it was given (a code the
    // table lacks is kept, not lost).
    QString Code() const;

    // Code for an unknown language.
    static const QString UnknownCode;

private:
    QComboBox* m_box;
    QString m_given;
    bool m_chosenByUser = false;
};
