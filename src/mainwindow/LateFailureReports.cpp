#include "mainwindow/LateFailureReports.h"

#include "localisation/FileKindTexts.h"
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

QString SystemReason(int systemError)
{
    return systemError != 0 ? SystemErrorText(systemError) : Lang("TagReasonOther");
}

QString SettingsFileReason(const TSettingsFileFailure& failure)
{
    if (failure.Malformed)
        return Lang("ReasonNotSettingsFormat");
    if (failure.Kind != TFileKind::Regular && failure.Kind != TFileKind::Unknown)
        return LangFmt("ReasonNotRegularFile", {FileKindText(failure.Kind)});
    return SystemReason(failure.SystemError);
}

void ReportSettingsNotWritten(const TSettingsFileFailure& failure)
{
    ShowError(LangFmt("ErrorSaveSettings", {failure.File, SettingsFileReason(failure)}));
}

void ReportSettingsNotRead(const TSettingsReadFailure& failure)
{
    const QString reason = SettingsFileReason(failure);
    if (failure.KeptAs.isEmpty())
        ShowError(LangFmt("ErrorReadSettingsKept", {failure.File, reason, SystemReason(failure.MoveError)}));
    else
        ShowError(LangFmt("ErrorReadSettings", {failure.File, reason, failure.KeptAs}));
}

void ReportNothingOpened(const QUrl& url)
{
    ShowError(LangFmt("ErrorOpenWithDesktop", {url.isLocalFile() ? url.toLocalFile() : url.toDisplayString()}));
}

}

TLateFailureReports::TLateFailureReports()
    : m_previousSettingsReport(TRegistry::SetWriteFailureReport(ReportSettingsNotWritten)),
      m_previousReadReport(TRegistry::SetReadFailureReport(ReportSettingsNotRead)),
      m_previousOpenReport(SetOpenFailureReport(ReportNothingOpened))
{
}

TLateFailureReports::~TLateFailureReports()
{
    TRegistry::SetWriteFailureReport(std::move(m_previousSettingsReport));
    TRegistry::SetReadFailureReport(std::move(m_previousReadReport));
    SetOpenFailureReport(std::move(m_previousOpenReport));
}
