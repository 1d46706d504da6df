#include "mainwindow/LateFailureReports.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QUrl>

namespace {

void ShowError(const QString& text)
{
    if (TPrompt* prompt = CurrentPrompt())
        prompt->Error(QApplication::activeWindow(), text);
}

void ReportSettingsNotWritten(const QString& file, int systemError)
{
    const QString reason = systemError != 0 ? SystemErrorText(systemError) : Lang("TagReasonOther");
    ShowError(LangFmt("ErrorSaveSettings", {file, reason}));
}

void ReportNothingOpened(const QUrl& url)
{
    ShowError(LangFmt("ErrorOpenWithDesktop", {url.isLocalFile() ? url.toLocalFile() : url.toDisplayString()}));
}

}

TLateFailureReports::TLateFailureReports()
    : m_previousSettingsReport(TRegistry::SetWriteFailureReport(ReportSettingsNotWritten)),
      m_previousOpenReport(SetOpenFailureReport(ReportNothingOpened))
{
}

TLateFailureReports::~TLateFailureReports()
{
    TRegistry::SetWriteFailureReport(std::move(m_previousSettingsReport));
    SetOpenFailureReport(std::move(m_previousOpenReport));
}
