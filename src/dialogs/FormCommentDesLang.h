#pragma once

#include "localisation/ui/LanguageChoice.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;

// Edits the description and language of an existing comment.
class TFormCommentDesLang : public QDialog {
    Q_OBJECT
public:
    explicit TFormCommentDesLang(QWidget* parent = nullptr);
    ~TFormCommentDesLang() override;

    // Shows the hint above the inputs and the values. On OK: the entered
    // description and the language code ("XXX" for an unknown language),
    // true; Cancel returns false.
    bool Execute(const QString& hint, QString& description, QString& language);

    QLineEdit* DescriptionEdit() const { return Edit1; }
    QComboBox* LanguageBox() const { return ComboBox1; }

private:
    QLabel* LabHinweis = nullptr;
    QLineEdit* Edit1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    std::unique_ptr<TLanguageChoice> m_language;
};
