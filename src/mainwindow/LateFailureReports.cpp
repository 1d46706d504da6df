#include "mainwindow/LateFailureReports.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Prompt.h"

#include <QApplication>

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

}

TLateFailureReports::TLateFailureReports()
    : m_previousSettingsReport(TRegistry::SetWriteFailureReport(ReportSettingsNotWritten))
{
}

TLateFailureReports::~TLateFailureReports()
{
    TRegistry::SetWriteFailureReport(std::move(m_previousSettingsReport));
}
