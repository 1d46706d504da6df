// The settings dialog and the layout dialogs of the tool bar and the input
// pages, as commands of the main window.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormEinstellungen.h"

void TFQuillon::BindSettingsActions()
{
    BindAction(QStringLiteral("ActEinstellungen"), [this] { ActEinstellungenExecute(); });
    BindAction(QStringLiteral("ActSymbolleisteAnpassen"), [this] { ActSymbolleisteAnpassenExecute(); });
    BindAction(QStringLiteral("ActEingabefelder"), [this] { ActEingabefelderExecute(); });
}

void TFQuillon::ActEinstellungenExecute()
{
    CommitEdits();
    const bool readID3v2 = m_settings.ReadID3v2;
    TFormEinstellungen dialog(this);
    if (!dialog.Execute(m_settings, m_fileNamePresets, m_resetRequested))
        return;
    ApplySettings();
    // Confirmed settings are stored at once, so that they survive a crash;
    // they are written again when the program ends.
    SaveSettings();
    if (readID3v2 != m_settings.ReadID3v2)
        ReloadFolder(false);
}
