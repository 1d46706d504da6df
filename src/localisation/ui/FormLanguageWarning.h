#pragma once

#include <QDialog>

class QCheckBox;

// Tells the user that the language file in use is not signed by the
// program's makers. Fixed texts in English and German.
class TFormLanguageWarning : public QDialog {
    Q_OBJECT
public:
    explicit TFormLanguageWarning(QWidget* parent = nullptr);

    bool DontShowAgain() const;
    QCheckBox* DontShowAgainBox() const { return m_dontShowAgain; }

private:
    QCheckBox* m_dontShowAgain = nullptr;
};

// Shows the warning for a language file whose signature did not match, unless
// the user dismissed it for this very content (digest, the file's computed
// signature). A dismissal (OK with the box ticked) is stored under
// "LngWarning"; only the last one is remembered. Returns true when the warning
// was shown.
bool ShowLanguageWarning(const QString& digest, QWidget* owner);
