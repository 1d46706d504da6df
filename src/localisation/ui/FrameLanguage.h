#pragma once

#include "localisation/LanguageRes.h"

#include <QWidget>

class QLabel;
class QListWidget;
class TLanguageTexts;

// Lists the built-in languages and the language files found, preselects one
// for the user's locale and describes the selected one. Sits in the start-up
// language selector and on the settings dialog's language page.
class TFrameLanguage : public QWidget {
    Q_OBJECT
public:
    explicit TFrameLanguage(QWidget* parent = nullptr);

    // Selects the built-in language named name (byFile false, ignoring case)
    // or the file with exactly the path name (byFile true); without such a
    // row, the best row for the user's locale.
    void SelectLanguageEntry(const QString& name, bool byFile);

    // Of the selected row; empty when nothing is selected.
    QString LanguageFileName() const;
    QString LanguageResName() const;
    int LanguagesCount() const { return static_cast<int>(m_languages.size()); }

    // The selected language's header; null when nothing is selected.
    const TLanguageRes* SelectedLanguage() const;

    // True once the user chose a row (by mouse or keys) after the last
    // SelectLanguageEntry; a row the frame preselected is no choice.
    bool UserPicked() const { return m_userPicked; }

    // Where the language in use is changed (the settings), the note that
    // the program must be restarted shows while another row than the one
    // SelectLanguageEntry chose is selected. Off by default: at first start
    // the chosen language is used at once.
    void SetRestartNoteOnChange(bool value);

private:
    void BuildControls();
    void FillList();
    void BoxLanguagesClick();
    // The captions of the details and the restart note in these texts.
    void ShowCaptions(const TLanguageTexts& texts);

    TLanguageResList m_languages;
    QListWidget* m_boxLanguages = nullptr;
    bool m_selecting = false;
    bool m_userPicked = false;
    bool m_restartNoteOnChange = false;
    // The row SelectLanguageEntry chose: the language in use.
    int m_rowInUse = -1;
    QLabel* m_captionStatus = nullptr;
    QLabel* m_captionName = nullptr;
    QLabel* m_captionAuthor = nullptr;
    QLabel* m_captionSource = nullptr;
    QLabel* m_restartNote = nullptr;
    QLabel* m_langStatus = nullptr;
    QLabel* m_langSprache = nullptr;
    QLabel* m_langAutor = nullptr;
    QLabel* m_langOrt = nullptr;
};
