#pragma once

// What the tests of the dialogs share, with or without the main window:
// readable texts in failure messages, a prompt that answers input queries,
// answering a dialog or choosing a row as the user does, and the items of a
// pop-up menu.

#include "support/QtPrinters.h"
#include "support/RecordingPrompt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QMenu>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>

// A prompt that also answers input queries and folder choices (each from a
// queue; an empty queue cancels), recording the values and captions offered.
class TAnsweringPrompt : public TRecordingPrompt {
public:
    std::deque<QString> Inputs, Folders;
    QStringList Offered, FolderCaptions;

    std::optional<QString> Input(QWidget*, const QString&, const QString&, const QString& value) override
    {
        Offered << value;
        return Next(Inputs);
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& caption, const QString&) override
    {
        FolderCaptions << caption;
        return Next(Folders);
    }

private:
    static std::optional<QString> Next(std::deque<QString>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers the next modal dialog of type TDialog with answer (which may set
// its inputs) and then presses its OK button by object name.
template <typename TDialog>
std::function<int(QDialog&)> AnswerDialog(std::function<void(TDialog&)> answer, const char* okButton)
{
    return [answer = std::move(answer), okButton](QDialog& dialog) {
        auto* typed = qobject_cast<TDialog*>(&dialog);
        EXPECT_NE(typed, nullptr) << dialog.metaObject()->className();
        if (!typed)
            return int(QDialog::Rejected);
        answer(*typed);
        if (auto* ok = dialog.findChild<QAbstractButton*>(QString::fromLatin1(okButton)))
            ok->click();
        return dialog.result();
    };
}

// Chooses a row of a drop-down list as the user does.
inline void ChooseRow(QComboBox* box, int row)
{
    box->setCurrentIndex(row);
    emit box->activated(row);
}

// The texts of a pop-up menu's items as it shows them.
inline QStringList MenuTexts(QMenu* menu)
{
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

// Triggers the item at the index as the user does.
inline void TriggerMenuItem(QMenu* menu, int index)
{
    emit menu->aboutToShow();
    menu->actions().at(index)->trigger();
}
