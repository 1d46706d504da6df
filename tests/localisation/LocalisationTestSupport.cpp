#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LocaleLanguage.h"
#include "localisation/MultiLanguage.h"

#include <QDialog>
#include <QFile>

#include <gtest/gtest.h>

QByteArray LanguageFileBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TLanguageStateGuard::TLanguageStateGuard()
    : m_custom(LangStrings.CustomLangStrings()), m_current(LangStrings.CurrentLangStrings())
{
}

TLanguageStateGuard::~TLanguageStateGuard()
{
    LangStrings.SetCustomLangStrings(m_custom);
    LangStrings.SetCurrentLangStrings(m_current);
    SetLanguageFolders(std::nullopt);
    SetUserLocale(std::nullopt);
}

TTestPrompt::TTestPrompt(TModalHandler onModal) : m_onModal(std::move(onModal))
{
    m_previous = SetPrompt(this);
}

TTestPrompt::~TTestPrompt()
{
    SetPrompt(m_previous);
}

void TTestPrompt::Beep()
{
    ADD_FAILURE() << "unexpected beep";
}

void TTestPrompt::Error(QWidget*, const QString& text)
{
    ADD_FAILURE() << "unexpected error box: " << text.toStdString();
}

void TTestPrompt::Information(QWidget*, const QString& text)
{
    ADD_FAILURE() << "unexpected information box: " << text.toStdString();
}

bool TTestPrompt::Question(QWidget*, const QString& text)
{
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return false;
}

TPromptButton TTestPrompt::Ask(QWidget*, TPromptIcon, const QString& text, TPromptButtons)
{
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return pbNone;
}

TPromptChoice TTestPrompt::Choose(QWidget*, TPromptIcon, const QString& text, const QStringList&, int, const QString&)
{
    ADD_FAILURE() << "unexpected choice: " << text.toStdString();
    return {};
}

std::optional<QString> TTestPrompt::Input(QWidget*, const QString&, const QString&, const QString&)
{
    ADD_FAILURE() << "unexpected input query";
    return std::nullopt;
}

std::optional<QString> TTestPrompt::OpenFile(QWidget*, const QString&, const QString&, const QString&)
{
    ADD_FAILURE() << "unexpected file choice";
    return std::nullopt;
}

std::optional<QString> TTestPrompt::SaveFile(QWidget*, const QString&, const QString&, const QString&)
{
    ADD_FAILURE() << "unexpected file choice";
    return std::nullopt;
}

std::optional<QString> TTestPrompt::ChooseFolder(QWidget*, const QString&, const QString&)
{
    ADD_FAILURE() << "unexpected folder choice";
    return std::nullopt;
}

int TTestPrompt::RunModal(QDialog& dialog)
{
    ++m_modalCount;
    return m_onModal ? m_onModal(dialog) : QDialog::Rejected;
}
