#include "controls/QtPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

namespace {

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons)
{
    // File lists separate their names by LF CR; show that as one line break.
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox box(icon, QApplication::applicationDisplayName(), shown, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

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

void TQtPrompt::Information(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

bool TQtPrompt::Question(QWidget* parent, const QString& text)
{
    return ShowBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> TQtPrompt::Input(QWidget* parent, const QString& caption, const QString& label,
                                        const QString& value)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
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
    return NonEmpty(QFileDialog::getOpenFileName(parent, caption, folder, filter));
}

std::optional<QString> TQtPrompt::SaveFile(QWidget* parent, const QString& caption, const QString& path,
                                           const QString& filter)
{
    return NonEmpty(QFileDialog::getSaveFileName(parent, caption, path, filter));
}

std::optional<QString> TQtPrompt::ChooseFolder(QWidget* parent, const QString& caption, const QString& folder)
{
    return NonEmpty(QFileDialog::getExistingDirectory(parent, caption, folder));
}

int TQtPrompt::RunModal(QDialog& dialog)
{
    return dialog.exec();
}
