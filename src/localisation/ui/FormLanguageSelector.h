#pragma once

#include <QDialog>

class TFrameLanguage;

// The language choice at first start, shown when no language could be
// loaded. Its texts are in German and English, since no language is chosen
// yet.
class TFormLanguageSelector : public QDialog {
    Q_OBJECT
public:
    explicit TFormLanguageSelector(QWidget* parent = nullptr);

    // True at once, without showing, when fewer than two languages exist;
    // else shows the dialog (through the prompt) and returns true when the
    // user confirmed with OK.
    bool Execute();

    QString GetLanguageResName() const;
    QString GetLanguageFileName() const;
    TFrameLanguage* Frame() const { return m_frame; }

private:
    TFrameLanguage* m_frame = nullptr;
};
