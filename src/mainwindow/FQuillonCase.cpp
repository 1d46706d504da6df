// Case conversion of title, artist, album and comment of the selected files,
// and of their file names when the option says so.
#include "mainwindow/FQuillon.h"

#include "controls/IconTheme.h"

#include "mainwindow/BatchRenames.h"
#include "mainwindow/BatchRun.h"
#include "mainwindow/FailureLists.h"
#include "commands/CaseConversion.h"
#include "commands/FileNameParts.h"
#include "common/FieldLists.h"

#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>

namespace {

// The frame in the mode's case; false when that changes no letter, so that
// files already in case are not written again.
bool ConvertFrame(TID3Frame& frame, int mode)
{
    if (frame.Encryption)
        return false;
    if (frame.FrameID == QLatin1String("COMM")) {
        QString text;
        QString language;
        QString description;
        GetCommentFrame(frame, text, language, description);
        const QString converted = ConvertCase(text, mode);
        if (converted == text)
            return false;
        SetCommentFrame(frame, {converted}, description, language);
        return true;
    }
    QString description;
    QStringList strings;
    GetTextFrame(frame, description, strings);
    const QStringList converted = ConvertCase(strings, mode);
    if (converted == strings)
        return false;
    SetTextFrameLines(frame, description, converted);
    return true;
}

// Converts the entry's frames; true when one changed.
bool ConvertFrames(TEintragdaten& entry, int mode)
{
    bool changed = false;
    for (const TID3FramePtr& frame : entry.Frames)
        if (CaseConversionFrames().contains(frame->FrameID) && ConvertFrame(*frame, mode))
            changed = true;
    return changed;
}

TNameChange ConvertFileNameCase(TFQuillon& window, TEintragdaten& entry, int mode)
{
    return RenameToStem(window, entry, ConvertCase(SplitFileName(entry.NameKey()).Stem, mode));
}

void ConvertSelection(TFQuillon& window, int mode, bool fileNamesToo)
{
    if (!SelectedOrBeep(window))
        return;
    window.ApplyInputsToSelection();
    QStringList failedPaths;
    TFailureReasons reasons;
    QStringList unusable;
    RunOverSelection(window, [&](TEintragdaten& entry) {
        if (ConvertFrames(entry, mode))
            entry.Changed = 1;
        if (!fileNamesToo)
            return false;
        const QString path = entry.PathKey();
        const TNameChange renamed = ConvertFileNameCase(window, entry, mode);
        if (renamed == TNameChange::Failed)
            AddFailure(failedPaths, reasons, path);
        else if (renamed == TNameChange::Unusable)
            unusable << entry.FileName;
        return renamed == TNameChange::Renamed;
    });
    RetryFailedFiles(
        window, failedPaths, "ErrorRenameFileMany",
        [&](TEintragdaten& entry) { return ConvertFileNameCase(window, entry, mode) == TNameChange::Renamed; },
        &reasons);
    ReportUnusableNames(window, unusable);
    window.RefreshVisibleRows();
    window.UpdateStatusAndFileInfo();
    window.ShowSelectionInInputs();
}

// The option's picture, with a check mark while it is on.
QIcon OptionIcon(const QIcon& picture)
{
    QIcon icon;
    for (const int size : {16, 32}) {
        const QPixmap off = picture.pixmap(size, size);
        QPixmap on = off;
        QPainter painter(&on);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        QPainterPath mark;
        mark.moveTo(1.5, 11);
        mark.lineTo(4, 14);
        mark.lineTo(9, 7.5);
        painter.setPen(QPen(QColor(255, 255, 255), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(mark);
        painter.setPen(QPen(QColor(30, 140, 40), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(mark);
        painter.end();
        icon.addPixmap(off, QIcon::Normal, QIcon::Off);
        icon.addPixmap(on, QIcon::Normal, QIcon::On);
        icon.addPixmap(GreyedPixmap(off), QIcon::Disabled, QIcon::Off);
        icon.addPixmap(GreyedPixmap(on), QIcon::Disabled, QIcon::On);
    }
    return icon;
}

}

void TFQuillon::BindCaseActions()
{
    const auto selected = [this] { return m_firstEditedIndex >= 0; };
    // The carrier only opens its menu.
    BindAction(QStringLiteral("ActGrossKleinSchreibung"), nullptr, selected);
    for (const auto& [name, mode] : {std::pair{"ActGrossKleinAuto", cmWords}, std::pair{"ActGrossKleinAllesGross", cmUpper},
                                     std::pair{"ActGrossKleinAllesKlein", cmLower},
                                     std::pair{"ActGrossKleinOnlyFirst", cmFirstOnly}}) {
        const int caseMode = mode;
        BindAction(QString::fromLatin1(name), [this, caseMode] { ConvertSelection(*this, caseMode, m_caseConversionRenames); },
                   selected);
    }
    BindAction(
        QStringLiteral("ActGrossKleinDateiname"), [this] { m_caseConversionRenames = !m_caseConversionRenames; }, {},
        [this] { return m_caseConversionRenames; });
    if (QAction* option = Action(QStringLiteral("ActGrossKleinDateiname")))
        option->setIcon(OptionIcon(option->icon()));
}
