// Exporting the file list through the export window.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormExport.h"

void TFQuillon::BindExportAction()
{
    BindAction(QStringLiteral("ActExport"), [this] { ActExportExecute(); });
}

void TFQuillon::ActExportExecute()
{
    TStringArray codes;
    TWordArray widths;
    GetColumns(codes, widths);
    ApplyInputsToSelection();
    TFormExport form(this);
    form.Execute(m_currentFolder, m_entries, codes);
}
