#include "controls/QtPrompt.h"

#include "controls/Accelerators.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

// The start screen stays above every other window: a box or dialog shown
// while it is up (the language choice at the first start) would lie beneath
// it. It makes way for good.
void CloseStartScreen()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->windowType() == Qt::SplashScreen && window->isVisible())
            window->close();
}

// File lists separate their names by LF CR; show that as one line break.
QString ShownText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    return shown;
}

// Lines a box shows at most, and how many of them come from the text's end
// (where a question follows a list of files).
constexpr qsizetype MaxShownLines = 24;
constexpr qsizetype ShownLastLines = 3;
// A run of characters without a blank cannot wrap, and a long one would
// make the box wider than the screen: such a run may break (at a zero-width
// space) after every MaxUnbrokenRun characters.
constexpr qsizetype MaxUnbrokenRun = 60;

QString Breakable(const QString& text)
{
    QString breakable;
    breakable.reserve(text.size() + text.size() / MaxUnbrokenRun);
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c.isSpace()) {
            run = 0;
        } else if (++run > MaxUnbrokenRun && !c.isLowSurrogate()) {
            breakable += QChar(0x200B);
            run = 1;
        }
        breakable += c;
    }
    return breakable;
}

// A long text (thousands of files that failed) would make a box taller than
// the screen, its buttons out of reach: the box shows the text's start and
// end, and the whole text lies under its details, where it scrolls.
void SetBoxText(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    const QString shown = ShownText(text);
    const QStringList lines = shown.split(QLatin1Char('\n'));
    if (lines.size() <= MaxShownLines) {
        box.setText(Breakable(shown));
        return;
    }
    QStringList kept = lines.mid(0, MaxShownLines - ShownLastLines - 1);
    kept << QStringLiteral("\u2026");
    kept << lines.mid(lines.size() - ShownLastLines);
    box.setText(Breakable(kept.join(QLatin1Char('\n'))));
    box.setDetailedText(shown);
}

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons, const QString& details = QString())
{
    CloseStartScreen();
    QMessageBox box(icon, QApplication::applicationDisplayName(), QString(), buttons, parent);
    SetBoxText(box, text);
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::Icon BoxIcon(TPromptIcon icon)
{
    switch (icon) {
    case TPromptIcon::Information:
        return QMessageBox::Information;
    case TPromptIcon::Question:
        return QMessageBox::Question;
    case TPromptIcon::Warning:
        return QMessageBox::Warning;
    case TPromptIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Our buttons and Qt's, in the order a box shows them.
constexpr std::pair<TPromptButton, QMessageBox::StandardButton> ButtonPairs[] = {
    {pbOk, QMessageBox::Ok},
    {pbYes, QMessageBox::Yes},
    {pbAll, QMessageBox::YesToAll},
    {pbNo, QMessageBox::No},
    {pbCancel, QMessageBox::Cancel},
};

std::optional<QString> NonEmpty(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

}

void TQtPrompt::Beep()
{
    QApplication::beep();
}

void TQtPrompt::Error(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

void TQtPrompt::ErrorWithDetails(QWidget* parent, const QString& text, const QString& details)
{
    ShowBox(parent, QMessageBox::Critical, text, QMessageBox::Ok, details);
}

void TQtPrompt::Information(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

bool TQtPrompt::Question(QWidget* parent, const QString& text)
{
    return ShowBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TPromptButton TQtPrompt::Ask(QWidget* parent, TPromptIcon icon, const QString& text, TPromptButtons buttons)
{
    QMessageBox::StandardButtons shown;
    for (const auto& [ours, qt] : ButtonPairs) {
        if (buttons & ours)
            shown |= qt;
    }
    const QMessageBox::StandardButton pressed = ShowBox(parent, BoxIcon(icon), text, shown);
    for (const auto& [ours, qt] : ButtonPairs) {
        if (pressed == qt && (buttons & ours))
            return ours;
    }
    return EscapeButton(buttons);
}

TPromptChoice TQtPrompt::Choose(QWidget* parent, TPromptIcon icon, const QString& text, const QStringList& answers,
                                int cancelAnswer, const QString& forAllText)
{
    CloseStartScreen();
    QMessageBox box(BoxIcon(icon), QApplication::applicationDisplayName(), QString(), QMessageBox::NoButton, parent);
    SetBoxText(box, text);
    std::vector<QAbstractButton*> buttons;
    for (int i = 0; i < answers.size(); ++i) {
        const QMessageBox::ButtonRole role = i == cancelAnswer ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        QAbstractButton* button = box.addButton(answers[i], role);
        buttons.push_back(button);
    }
    if (cancelAnswer >= 0 && cancelAnswer < answers.size())
        box.setEscapeButton(buttons[static_cast<size_t>(cancelAnswer)]);
    if (!forAllText.isEmpty())
        box.setCheckBox(new QCheckBox(forAllText));
    box.exec();
    TPromptChoice choice;
    choice.Answer = cancelAnswer;
    const auto it = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (it != buttons.end())
        choice.Answer = static_cast<int>(it - buttons.begin());
    choice.ForAll = box.checkBox() && box.checkBox()->isChecked();
    return choice;
}

std::optional<QString> TQtPrompt::Input(QWidget* parent, const QString& caption, const QString& label,
                                        const QString& value)
{
    CloseStartScreen();
    QInputDialog dialog(parent);
    dialog.setWindowTitle(PlainCaption(caption));
    dialog.setLabelText(label);
    dialog.setTextValue(value);
    // Room for a long file name.
    dialog.resize(std::max(dialog.sizeHint().width(), 480), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> TQtPrompt::OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                                           const QString& filter)
{
    CloseStartScreen();
    return NonEmpty(QFileDialog::getOpenFileName(parent, PlainCaption(caption), folder, filter));
}

std::optional<QString> TQtPrompt::SaveFile(QWidget* parent, const QString& caption, const QString& path,
                                           const QString& filter)
{
    // The caller asks about replacing an existing file itself, with its own
    // answers (an export offers "All" for its group pages).
    CloseStartScreen();
    return NonEmpty(QFileDialog::getSaveFileName(parent, PlainCaption(caption), path, filter, nullptr,
                                                 QFileDialog::DontConfirmOverwrite));
}

std::optional<QString> TQtPrompt::ChooseFolder(QWidget* parent, const QString& caption, const QString& folder)
{
    CloseStartScreen();
    return NonEmpty(QFileDialog::getExistingDirectory(parent, PlainCaption(caption), folder));
}

int TQtPrompt::RunModal(QDialog& dialog)
{
    CloseStartScreen();
    return dialog.exec();
}
