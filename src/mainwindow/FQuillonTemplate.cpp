// The template entry and the commands of the frame inputs' menu: copying all
// fields or one field from the template, clearing every field, the precision
// and value of dates, descriptions and languages of user-defined fields and
// comments, opening a link, dropping unknown data and adding fields by hand.
#include "mainwindow/FQuillon.h"

#include "mainwindow/BatchRun.h"
#include "dialogs/FormCommentDesLang.h"
#include "dialogs/FormNeuesFeld.h"
#include "controls/Guarded.h"

#include "frameinput/ID3v2FrameComment.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "frameinput/ID3v2FrameURL.h"
#include "frameinput/ID3v2FrameUnKnown.h"
#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QTabWidget>

namespace {

const QString TXXX = QStringLiteral("TXXX");
const QString WXXX = QStringLiteral("WXXX");
const QString COMM = QStringLiteral("COMM");

// The commands that apply only to the kind of field that has the focus: the
// menus show them only while they can run.
constexpr const char* FieldCommands[] = {
    "ActDateTimeGenauer", "ActDateTimeUngenauer", "ActDateSetNow",  "ActDateFromFileDate", "ActFileDateFromDate",
    "ActCommChangeDesLang", "ActTXXXChangeDes",   "ActWXXXChangeDes", "ActRunURL",         "ActKillUnknownData",
};

template <typename TInput> TInput* Focused(const TFQuillon& window)
{
    return qobject_cast<TInput*>(window.FocusedFrameInput());
}

// The focused one-line input of a user-defined frame (TXXX or WXXX).
TID3v2FrameLine* FocusedUserDefined(const TFQuillon& window, const QString& id)
{
    auto* input = Focused<TID3v2FrameLine>(window);
    return input && input->FrameID() == id ? input : nullptr;
}

bool HasSelection(const TFQuillon& window)
{
    return window.FirstEditedIndex() >= 0;
}

TEintragdaten* FirstEdited(TFQuillon& window)
{
    const int index = window.FirstEditedIndex();
    return index >= 0 && static_cast<size_t>(index) < window.Entries().size()
               ? window.Entries()[static_cast<size_t>(index)].get()
               : nullptr;
}

// Copying from the template to the template alone does nothing.
bool OnlyTheTemplateSelected(TFQuillon& window)
{
    return window.EditedCount() == 1 && FirstEdited(window) == window.TemplateEntry();
}

bool SameText(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Whether another input (not except) already shows a field of this kind with
// this description (and, for comments, language), letter case and blanks
// round them aside. With show the user is told so.
bool CheckDuplicateDescription(TFQuillon& window, const QString& id, const QString& description, bool show,
                               const QString& language, const TID3v2Frame* except)
{
    bool duplicate = false;
    for (const TID3v2Frame* input : window.PageInputs()) {
        if (input == except)
            continue;
        if (id == TXXX || id == WXXX) {
            const auto* line = qobject_cast<const TID3v2FrameLine*>(input);
            duplicate = line && line->FrameID() == id && SameText(line->Description(), description);
        } else if (id == COMM) {
            const auto* comment = qobject_cast<const TID3v2FrameComment*>(input);
            duplicate = comment && SameText(comment->Description(), description)
                        && SameText(comment->Language(), language);
        }
        if (duplicate)
            break;
    }
    if (duplicate && show) {
        const QString shown = description.trimmed();
        if (id == TXXX)
            CurrentPrompt()->Information(&window, LangFmt("ErrorDoubleTXXX", {shown}));
        else if (id == WXXX)
            CurrentPrompt()->Information(&window, LangFmt("ErrorDoubleWXXX", {shown}));
        else
            CurrentPrompt()->Information(&window, Lang("ErrorDoubleCOMM"));
    }
    return duplicate;
}

// Bodies of the template still left in its file (pictures) are fetched
// before anything is copied; false (and the user told) when one cannot be
// read any more.
bool TemplateReadable(TFQuillon& window, const TEintragdaten& templateEntry)
{
    if (LoadDeferredBodies(templateEntry.Frames))
        return true;
    CurrentPrompt()->Error(&window, LangFmt("ErrorTemplateUnreadable", {templateEntry.FileName}));
    return false;
}

void CopyAllFromTemplate(TFQuillon& window)
{
    TEintragdaten* templateEntry = window.TemplateEntry();
    if (!HasSelection(window) || !templateEntry) {
        CurrentPrompt()->Beep();
        return;
    }
    if (OnlyTheTemplateSelected(window) || !TemplateReadable(window, *templateEntry))
        return;
    window.ApplyInputsToSelection();
    for (const TEintragdatenPtr& entry : window.Entries()) {
        if (!entry->Edited || entry.get() == templateEntry)
            continue;
        entry->Changed = 1;
        entry->Frames.clear();
        entry->Frames.reserve(templateEntry->Frames.size());
        for (const TID3FramePtr& frame : templateEntry->Frames) {
            auto copy = std::make_unique<TID3Frame>();
            copy->AssignFrame(*frame, true);
            entry->Frames.push_back(std::move(copy));
        }
    }
    window.ShowSelectionInInputs();
    window.RefreshVisibleRows();
}

void CopyFieldFromTemplate(TFQuillon& window)
{
    TEintragdaten* templateEntry = window.TemplateEntry();
    TID3v2Frame* input = window.FocusedFrameInput();
    if (!HasSelection(window) || !templateEntry || !input) {
        CurrentPrompt()->Beep();
        return;
    }
    if (OnlyTheTemplateSelected(window) || !TemplateReadable(window, *templateEntry))
        return;
    window.ApplyInputsToSelection();
    const TID3Frame* shown = input->GetFrame();
    const TID3Frame* match =
        shown ? FindEqualFrame(templateEntry->Frames, shown) : FindFrame(templateEntry->Frames, input->FrameID());
    // The frame leaves the input's keeping before the entries change.
    std::unique_ptr<TID3Frame> copy;
    if (match) {
        copy = std::make_unique<TID3Frame>();
        copy->AssignFrame(*match, true);
    }
    for (const TEintragdatenPtr& entry : window.Entries())
        if (entry->Edited && entry.get() != templateEntry)
            entry->SetFrame(input->FrameID(), copy.get(), input->Identity());
    window.ShowSelectionInInputs();
    window.RefreshVisibleRows();
}

void ClearAllFields(TFQuillon& window)
{
    if (!SelectedOrBeep(window))
        return;
    for (const TEintragdatenPtr& entry : window.Entries()) {
        if (!entry->Edited)
            continue;
        entry->Changed = 1;
        entry->Frames.clear();
    }
    window.ShowSelectionInInputs();
    window.RefreshVisibleRows();
}

void ChangeCommentDescriptionAndLanguage(TFQuillon& window)
{
    auto* input = Focused<TID3v2FrameComment>(window);
    if (!input || !HasSelection(window)) {
        CurrentPrompt()->Beep();
        return;
    }
    QString description = input->Description();
    QString language = input->Language();
    for (;;) {
        TFormCommentDesLang form(&window);
        QString newDescription = description;
        QString newLanguage = language;
        if (!form.Execute(Lang("ChangeDescLangWindowText"), newDescription, newLanguage))
            return;
        if (newDescription == description && newLanguage == language)
            return;
        description = newDescription.trimmed();
        language = newLanguage;
        if (!CheckDuplicateDescription(window, COMM, description, true, language, input))
            break;
    }
    input->SetDescription(description);
    input->SetLanguage(language);
}

void ChangeUserDefinedDescription(TFQuillon& window, const QString& id)
{
    TID3v2FrameLine* input = FocusedUserDefined(window, id);
    if (!input || !HasSelection(window)) {
        CurrentPrompt()->Beep();
        return;
    }
    QString offered = input->Description();
    for (;;) {
        const std::optional<QString> typed =
            CurrentPrompt()->Input(&window, Lang("ChangeDescWindowTitle"), Lang("ChangeDescWindowText"), offered);
        if (!typed || *typed == offered)
            return;
        offered = *typed;
        if (!CheckDuplicateDescription(window, id, typed->trimmed(), true, QString(), input))
            break;
    }
    input->SetDescription(offered.trimmed());
}

// The first control inside the input that the Tab key would reach.
QWidget* FirstTabStop(QWidget* input)
{
    for (QWidget* child : input->findChildren<QWidget*>())
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && !child->isHidden())
            return child;
    return nullptr;
}

// A command of one kind of input, run on the focused one; enabled while
// such an input has the focus and a file is selected.
template <typename TInput> void BindInputCommand(TFQuillon& window, const char* name, void (TInput::*command)())
{
    window.BindAction(
        QString::fromLatin1(name),
        [&window, command] {
            if (TInput* input = Focused<TInput>(window))
                (input->*command)();
            else
                CurrentPrompt()->Beep();
        },
        [&window] { return HasSelection(window) && Focused<TInput>(window); });
}

// A field added by hand: an input on the further fields' page that reaches
// the files when the edits are applied.
void AddFieldByHand(TFQuillon& window)
{
    if (!SelectedOrBeep(window))
        return;
    QString id;
    QString description;
    QString language;
    do {
        TFormNeuesFeld form(&window);
        if (!form.Execute(id, description, language) || id.isEmpty())
            return;
        description = description.trimmed();
        language = language.trimmed();
    } while (CheckDuplicateDescription(window, id, description, true, language, nullptr));

    TID3v2Frame* input = window.CreateFrameInput(window.SBoxWeitereFelder, id, false);
    if (!input)
        return;
    input->SetKillOnClear(true);
    input->AddFrame(nullptr);
    if (auto* line = qobject_cast<TID3v2FrameLine*>(input); line && (id == TXXX || id == WXXX)) {
        line->SetDescription(description);
    } else if (auto* comment = qobject_cast<TID3v2FrameComment*>(input)) {
        comment->SetDescription(description);
        comment->SetLanguage(language);
    }
    window.PanKeineWeiterenFelder->hide();
    window.SBoxWeitereFelder->show();
    window.PagInfos->setCurrentWidget(window.TabWeitereFelder);
    window.SBoxWeitereFelder->ensureWidgetVisible(input);
    if (QWidget* first = FirstTabStop(input))
        first->setFocus(Qt::TabFocusReason);
}

}

void TFQuillon::BindTemplateActions()
{
    connect(CbxVorgabe, &QCheckBox::clicked, this, [this](bool checked) {
        RunGuarded(this, [this, checked] {
            TEintragdaten* selected = m_editedCount == 1 ? FirstEdited(*this) : nullptr;
            if (!selected)
                return;
            TEintragdaten* before = m_templateEntry;
            if (checked)
                SetTemplateEntry(selected);
            else if (before == selected)
                SetTemplateEntry(nullptr);
            if (m_templateEntry != before)
                RefreshVisibleRows();
            UpdateActions();
        });
    });
    const auto selected = [this] { return HasSelection(*this); };
    const auto withTemplate = [this] { return HasSelection(*this) && m_templateEntry; };
    BindAction(QStringLiteral("ActAllesUebernehmen"), [this] { CopyAllFromTemplate(*this); }, withTemplate);
    BindAction(QStringLiteral("ActFeldUebernehmen"), [this] { CopyFieldFromTemplate(*this); },
               [this, withTemplate] { return withTemplate() && FocusedFrameInput(); });
    BindAction(QStringLiteral("ActAlleFelderLoeschen"), [this] { ClearAllFields(*this); }, selected);

    const auto dateInput = [this] { return Focused<TID3v2FrameDateTime>(*this); };
    const auto stepPrecision = [this, dateInput](const char* name) {
        QAction* action = Action(QString::fromLatin1(name));
        BindAction(
            QString::fromLatin1(name),
            [dateInput, action] {
                TID3v2FrameDateTime* input = dateInput();
                if (!input)
                    CurrentPrompt()->Beep();
                else if (action->data().toInt() > 0)
                    input->IncPrecision();
                else
                    input->DecPrecision();
            },
            [dateInput] { return dateInput() != nullptr; });
    };
    stepPrecision("ActDateTimeGenauer");
    stepPrecision("ActDateTimeUngenauer");
    BindAction(
        QStringLiteral("ActDateSetNow"),
        [dateInput] {
            if (TID3v2FrameDateTime* input = dateInput())
                input->SetDateTime(QDateTime::currentDateTime());
            else
                CurrentPrompt()->Beep();
        },
        [dateInput] { return dateInput() != nullptr; });

    BindAction(QStringLiteral("ActCommChangeDesLang"), [this] { ChangeCommentDescriptionAndLanguage(*this); },
               [this, selected] { return selected() && Focused<TID3v2FrameComment>(*this); });
    BindAction(QStringLiteral("ActTXXXChangeDes"), [this] { ChangeUserDefinedDescription(*this, TXXX); },
               [this, selected] { return selected() && FocusedUserDefined(*this, TXXX); });
    BindAction(QStringLiteral("ActWXXXChangeDes"), [this] { ChangeUserDefinedDescription(*this, WXXX); },
               [this, selected] { return selected() && FocusedUserDefined(*this, WXXX); });
    BindInputCommand(*this, "ActRunURL", &TID3v2FrameURL::OpenURL);
    BindInputCommand(*this, "ActKillUnknownData", &TID3v2FrameUnKnown::KillData);
    BindAction(QStringLiteral("ActAddFrame"), [this] { AddFieldByHand(*this); }, selected);

    for (const char* name : FieldCommands)
        HideWhenDisabled(QString::fromLatin1(name));
}

void TFQuillon::FrameInputContextPopup(QWidget* inner, const QPoint& globalPos)
{
    // A control the Tab key reaches becomes the focused one, so that the
    // menu offers the commands of its field.
    if (inner && (inner->focusPolicy() & Qt::TabFocus) && inner->isEnabled() && inner->isVisible())
        inner->setFocus(Qt::MouseFocusReason);
    UpdateActions();
    if (QMenu* menu = PopupMenu(QStringLiteral("PopFrameEdit")))
        menu->popup(globalPos);
}
