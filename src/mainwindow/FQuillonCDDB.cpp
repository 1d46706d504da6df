// The CD database lookup of the main window: the wizard fills the tags of
// the selected files, which are then written at once.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormCDDB.h"

#include "platform/Prompt.h"

void TFQuillon::BindCDDBAction()
{
    BindAction(QStringLiteral("ActID3FromCDDB"), [this] { ActID3FromCDDBExecute(); },
               [this] { return ActID3FromFilenameUpdate(); });
}

void TFQuillon::ActID3FromCDDBExecute()
{
    if (m_editedCount == 0) {
        CurrentPrompt()->Beep();
        return;
    }
    const TEinstellungen& s = m_settings;
    const QString proxyHost = s.UseProxy ? s.Proxy : QString();
    const int proxyPort = s.UseProxy ? s.ProxyPort : 0;
    ApplyInputsToSelection();
    TFormCDDB wizard(this);
    if (!wizard.Execute(m_entries, s.CDDBServer, s.AlwaysUseNativeNtCdRom, proxyPort, proxyHost, s.CDDBUser,
                        s.CDDBServerCgiPath, s.CDDBServerPort))
        return;
    ShowSelectionInInputs();
    RefreshVisibleRows();
    SaveChangedEntries();
    UpdateSelectionState();
}
