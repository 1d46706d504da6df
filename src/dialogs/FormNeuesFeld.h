#pragma once

#include "localisation/ui/LanguageChoice.h"

#include <QDialog>

#include <memory>

class QComboBox;
class TGroupBoxXP2;
class QLineEdit;

// Asks for a field added by hand: its kind (user-defined text, user-defined
// link or comment), its description and, for a comment, its language.
class TFormNeuesFeld : public QDialog {
    Q_OBJECT
public:
    explicit TFormNeuesFeld(QWidget* parent = nullptr);
    ~TFormNeuesFeld() override;

    // Shows the dialog with these values (the first kind when frameId names
    // none). On OK with a kind chosen: its frame ID, the description and the
    // language code ("XXX" for an unknown language), true. Cancel, or OK
    // without a kind, returns false.
    bool Execute(QString& frameId, QString& description, QString& language);

    QComboBox* KindBox() const { return BoxArt; }
    QLineEdit* DescriptionEdit() const { return EDes; }
    QComboBox* LanguageBox() const { return BoxLang; }

private:
    // The description and language inputs follow the chosen kind.
    void KindChanged();

    QComboBox* BoxArt = nullptr;
    TGroupBoxXP2* GroupBox = nullptr;
    QLineEdit* EDes = nullptr;
    QComboBox* BoxLang = nullptr;
    std::unique_ptr<TLanguageChoice> m_language;
};
