// HTML pages from templates, and the built-in template saved as a file.
#include "export/DataModuleExport.h"

#include "export/DefaultTemplate.h"
#include "export/ExportError.h"
#include "export/ExportFile.h"
#include "export/ExportPaths.h"
#include "export/TemplateBlock.h"
#include "localisation/FileKindTexts.h"
#include "localisation/MultiLanguage.h"
#include "platform/FileIdentity.h"
#include "platform/FileKind.h"

#include <QFileInfo>

namespace {

// The template's three blocks, cut out in this order: "#beginloop" is a
// prefix of "#beginloopfile", so the group-page block goes first.
struct TTemplateBlocks {
    QString Page;          // the template with the blocks replaced
    QString GroupPageBody; // the template of each group's page
    bool HasGroupPages = false;
    QString LoopBody;
    QString GroupBody;
    bool HasGroups = false;
    QString GroupField; // upper-cased, trimmed
    bool PagePerGroup = false;
};

TTemplateBlocks CutBlocks(const QString& templateText)
{
    TTemplateBlocks blocks;
    blocks.Page = templateText;
    TTagParams attributes;
    blocks.HasGroupPages = ExtractTemplateBlock(QStringLiteral("#beginloopfile"), QStringLiteral("#endloopfile"),
                                                QString(), blocks.Page, blocks.GroupPageBody, attributes);
    ExtractTemplateBlock(QStringLiteral("#beginloop"), QStringLiteral("#endloop"), QStringLiteral("<#QUILLONLOOP>"),
                         blocks.Page, blocks.LoopBody, attributes);
    blocks.HasGroups = ExtractTemplateBlock(QStringLiteral("#begingroup"), QStringLiteral("#endgroup"),
                                            QStringLiteral("<#QUILLONGROUP>"), blocks.Page, blocks.GroupBody,
                                            attributes);
    if (blocks.HasGroups) {
        blocks.GroupField = attributes.Value(QStringLiteral("GROUPBY")).toUpper().trimmed();
        blocks.PagePerGroup =
            attributes.Value(QStringLiteral("LOOPINNEWFILE")).toUpper().trimmed() == QLatin1String("TRUE");
    }
    return blocks;
}

}

TEntryRefs TDataModuleExport::AllFiles() const
{
    TEntryRefs files;
    if (!Files)
        return files;
    files.reserve(Files->size());
    for (const TEintragdatenPtr& entry : *Files)
        files.push_back(entry.get());
    return files;
}

QString TDataModuleExport::TargetRefusal(const QString& path) const
{
    const TFileKind kind = FileKindOf(path);
    if (!IsReplaceable(kind) && kind != TFileKind::Unknown)
        return NotRegularFileText(path, kind);
    if (!TemplateFile.isEmpty() && NameTheSameFile(path, TemplateFile))
        return LangFmt(QStringLiteral("ErrorExportOntoTemplate"), {path, TemplateFile});
    return {};
}

TPromptButton TDataModuleExport::ConfirmOverwrite(const QString& fileName, TPromptButtons buttons)
{
    if (!QFileInfo::exists(fileName))
        return pbYes;
    return CurrentPrompt()->Ask(Owner, TPromptIcon::Warning, LangFmt(QStringLiteral("ExportOverrideFile"), {fileName}),
                                buttons);
}

TExportResult TDataModuleExport::RunTemplateExport(const TEntryRefs& files, const QString& outputFile,
                                                   const QString& baseFolder, const QString& templateText,
                                                   bool& askOverwrite, bool isGroupPage, const QString& groupValue)
{
    if (const QString refusal = TargetRefusal(outputFile); !refusal.isEmpty())
        throw TExportError(refusal);
    if (askOverwrite) {
        switch (ConfirmOverwrite(outputFile, pbYes | pbNo | pbCancel | pbAll)) {
        case pbYes:
            break;
        case pbAll:
            askOverwrite = false;
            break;
        case pbNo:
            // A declined group page is skipped; a declined first page ends
            // the export without success, and the dialog stays open.
            return isGroupPage ? erDone : erCancelled;
        default:
            return erCancelled;
        }
    }

    const TTemplateBlocks blocks = CutBlocks(templateText);
    TEntryGroups groups;
    if (blocks.HasGroups && !blocks.GroupField.isEmpty())
        groups = GroupEntries(files, blocks.GroupField);

    TMP3PageProducerGlobalVars shared;
    shared.BaseFolder = baseFolder;
    shared.RelativeFolders = RelativeFolders;
    shared.RelativeLinks = RelativeLinks;
    TMP3PageProducer page;
    page.Level = 0;
    page.Files = &files;
    page.Groups = &groups;
    page.GroupBody = blocks.GroupBody;
    page.LoopBody = blocks.LoopBody;
    page.OutputFolder = FolderOf(outputFile);
    page.OutputName = NameOf(outputFile);
    if (isGroupPage && !files.empty())
        page.GroupValue = groupValue;
    page.SetHTMLDoc(blocks.Page);
    shared.Attach(page);

    WriteExportFile(outputFile, TextFileBytes(page.Content(), true));

    if (blocks.PagePerGroup && blocks.HasGroupPages) {
        for (size_t i = 0; i < groups.size(); ++i) {
            const TExportResult result =
                RunTemplateExport(groups[i].Files, GroupFileName(outputFile, static_cast<int>(i)), baseFolder,
                                  blocks.GroupPageBody, askOverwrite, true, groups[i].Key);
            if (result != erDone)
                return result;
        }
    }
    return erDone;
}

TExportResult TDataModuleExport::ExportWithTemplate(const QString& baseFolder, const QString& templateText)
{
    bool askOverwrite = true;
    return RunTemplateExport(AllFiles(), OutputFile, baseFolder, templateText, askOverwrite, false, QString());
}

TExportResult TDataModuleExport::ExportWithBuiltInTemplate(const QString& baseFolder, const TStringArray& columnIds,
                                                           const TBoolArray& links, const QString& groupField,
                                                           bool manyFiles)
{
    return ExportWithTemplate(baseFolder, BuildDefaultTemplate(columnIds, links, groupField, manyFiles, false));
}

TExportResult TDataModuleExport::SaveDefaultTemplate(const TStringArray& columnIds, const TBoolArray& links,
                                                     const QString& groupField, bool manyFiles)
{
    if (const QString refusal = TargetRefusal(OutputFile); !refusal.isEmpty())
        return Failed(refusal);
    if (ConfirmOverwrite(OutputFile, pbYes | pbNo) != pbYes)
        return erCancelled;
    try {
        WriteExportFile(OutputFile,
                        TextFileBytes(BuildDefaultTemplate(columnIds, links, groupField, manyFiles, false), false));
    } catch (const std::exception& e) {
        return Failed(QString::fromUtf8(e.what()));
    }
    return erDone;
}

TExportResult TDataModuleExport::Failed(const QString& reason)
{
    FailureReason = reason;
    return erError;
}
