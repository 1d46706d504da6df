#pragma once

#include "export/MP3PageProducer.h"
#include "common/LayoutArrays.h"
#include "platform/Prompt.h"
#include "tagengine/Eintragdaten.h"

#include <QString>
#include <QStringList>

class QWidget;

// Results of an export.
enum TExportResult : quint8 {
    erDone = 0,      // done, or a group page the user chose not to overwrite
    erCancelled = 1, // the user declined or cancelled
    erError = 2,     // failed; the dialog reports it
};

// The exports of a file list: HTML pages from a template (the user's own or
// the built-in one), the built-in template saved as a file, an M3U playlist
// and a spreadsheet. One object serves one export; it reads the entries and
// changes nothing in them. Questions go through the prompt, with Owner as
// their window.
class TDataModuleExport {
public:
    QString OutputFile;
    bool RelativeFolders = false; // folder names relative to the page
    bool RelativeLinks = false;   // links to MP3 files always relative
    const TEintragdatenList* Files = nullptr;
    QWidget* Owner = nullptr;
    // The file the user's template was read from, when there is one: no
    // page of the export is written over it.
    QString TemplateFile;
    // Why the last export ended with erError, for the dialog to tell.
    QString FailureReason;

    // One page (and its group pages) from a template. askOverwrite is shared
    // by the whole export: "All" clears it. "No" for the first page ends the
    // export as cancelled; for a group page it skips that page. Throws
    // TExportError when the template cannot be expanded or a page or folder
    // cannot be written; pages written before stay.
    TExportResult RunTemplateExport(const TEntryRefs& files, const QString& outputFile, const QString& baseFolder,
                                    const QString& templateText, bool& askOverwrite, bool isGroupPage,
                                    const QString& groupValue);
    // The whole list through the user's template into OutputFile.
    TExportResult ExportWithTemplate(const QString& baseFolder, const QString& templateText);
    // The whole list through the built-in template made from these choices.
    TExportResult ExportWithBuiltInTemplate(const QString& baseFolder, const TStringArray& columnIds,
                                            const TBoolArray& links, const QString& groupField, bool manyFiles);
    // Writes the built-in template for these choices to OutputFile.
    TExportResult SaveDefaultTemplate(const TStringArray& columnIds, const TBoolArray& links,
                                      const QString& groupField, bool manyFiles);
    // An M3U playlist of the list (extended with length and title when
    // addInfos; only the selected files when selectedOnly) into OutputFile.
    TExportResult ExportPlaylist(const QString& baseFolder, bool addInfos, bool selectedOnly);
    // The list into a new spreadsheet: captions in row 1, a row per file.
    TExportResult ExportToExcel(const TStringArray& columnIds);

    // When fileName exists, asks whether to overwrite it with these buttons;
    // Yes without asking when it does not.
    TPromptButton ConfirmOverwrite(const QString& fileName, TPromptButtons buttons);

private:
    TEntryRefs AllFiles() const;
    // Why nothing of the export may be written to path: it is no regular
    // file, or it is the template itself. Empty when it may.
    QString TargetRefusal(const QString& path) const;
    // Keeps the reason and gives erError.
    TExportResult Failed(const QString& reason);
};
