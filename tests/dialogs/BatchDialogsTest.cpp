// The dialogs of the batch commands, offscreen: what they show, what they
// return and what they keep for the next use.

#include "DialogTestSupport.h"
#include "common/SettingsStoreTestSupport.h"
#include "support/gui/MainWindowTestSupport.h"

#include "controls/UpDownEdit.h"
#include "dialogs/FormCommentDesLang.h"
#include "dialogs/FormID3v1ToID3v2.h"
#include "dialogs/FormNeuesFeld.h"
#include "dialogs/FormReplaceInfos.h"
#include "dialogs/FormTrackNr.h"
#include "common/SettingsStore.h"
#include "common/CommaText.h"
#include "common/FieldLists.h"

#include "platform/Registry.h"
#include "tagengine/ID3v1Block.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class BatchDialogsTest : public ::testing::Test, protected TSettingsStoreFixture {
protected:
    TMainWindowEnvironment Env;

    static QStringList CheckedRows(const QListWidget* list)
    {
        QStringList ids;
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->checkState() == Qt::Checked)
                ids << list->item(row)->data(Qt::UserRole).toString();
        return ids;
    }

    static QStringList Items(const QComboBox* box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

    static std::optional<QString> StoredString(const QString& subkey, const QString& name)
    {
        TRegistry registry;
        if (!registry.OpenKey(TSettingsStore::KeyPath() + QStringLiteral("\\") + subkey, false))
            return std::nullopt;
        return registry.ReadString(name);
    }

    // One use of the replace dialog typing these texts; false on Cancel.
    bool Replace(const QString& search, const QString& replacement, bool matchCase = false)
    {
        Env.Prompt.OnModal = AnswerDialog<TFormReplaceInfos>(
            [&](TFormReplaceInfos& form) {
                form.SearchBox()->setEditText(search);
                form.ReplaceBox()->setEditText(replacement);
                form.CaseBox()->setChecked(matchCase);
            },
            "butOK");
        TFormReplaceInfos form;
        QString s, r;
        bool ignoreCase = true;
        QStringList ids;
        return form.Execute(s, ignoreCase, ids, r);
    }
};

}

TEST_F(BatchDialogsTest, ReplaceChecksTheTagFieldsUnlessKnownOnesAreStoredAndNeedsASearchText)
{
    TFormReplaceInfos form;
    QStringList tagFields = ReplaceFields();
    tagFields.removeAll(QStringLiteral("*FIN"));
    EXPECT_EQ(CheckedRows(form.FieldList()), tagFields);
    EXPECT_FALSE(form.CaseBox()->isChecked());

    QString search = "old", replacement = "old";
    bool ignoreCase = true;
    QStringList ids = {"x"};
    Env.Prompt.OnModal = [&](QDialog&) {
        form.SearchBox()->setEditText(QString()); // as at the program's first use
        EXPECT_FALSE(form.OkButton()->isEnabled());
        form.SearchBox()->setEditText(QStringLiteral("Abc"));
        EXPECT_TRUE(form.OkButton()->isEnabled());
        // Without a checked field there is nothing to replace in.
        form.findChild<QPushButton*>(QStringLiteral("butNothing"))->click();
        EXPECT_FALSE(form.OkButton()->isEnabled());
        form.FieldList()->item(0)->setCheckState(Qt::Checked);
        form.FieldList()->item(14)->setCheckState(Qt::Checked);
        form.ReplaceBox()->setEditText(QStringLiteral("Xyz"));
        form.CaseBox()->setChecked(true);
        form.OkButton()->click();
        return form.result();
    };
    ASSERT_TRUE(form.Execute(search, ignoreCase, ids, replacement));
    EXPECT_EQ(search, "Abc");
    EXPECT_EQ(replacement, "Xyz");
    EXPECT_FALSE(ignoreCase);
    EXPECT_EQ(ids, (QStringList{"*FIN", "COMM"}));
    EXPECT_EQ(StoredString("Replace", "frames"), QStringLiteral("*FIN,COMM"));

    // Cancel changes nothing.
    Env.Prompt.OnModal = [](QDialog&) { return int(QDialog::Rejected); };
    TFormReplaceInfos again;
    EXPECT_FALSE(again.Execute(search, ignoreCase, ids, replacement));
    EXPECT_EQ(search, "Abc");

    // Stored fields that are all unknown count as none stored.
    Store([](TRegistry& r) { r.WriteString("frames", "XXXX,\"*ZZZ\""); }, "Replace");
    EXPECT_EQ(CheckedRows(TFormReplaceInfos().FieldList()), tagFields);
    Store([](TRegistry& r) { r.WriteString("frames", "TALB,*FIN,XXXX"); }, "Replace");
    EXPECT_EQ(CheckedRows(TFormReplaceInfos().FieldList()), (QStringList{"*FIN", "TALB"}));
}

TEST_F(BatchDialogsTest, ReplaceKeepsFiveRecentTextsAsTyped)
{
    for (const char* text : {"one", "Two", "THREE", "four", "Five", "six"})
        ASSERT_TRUE(Replace(QString::fromLatin1(text), QStringLiteral("with, comma \"q\"")));
    // An older text typed again moves to the front; the case is kept.
    ASSERT_TRUE(Replace(QStringLiteral("THREE"), QStringLiteral("r")));
    TFormReplaceInfos form;
    EXPECT_EQ(Items(form.SearchBox()), (QStringList{"THREE", "six", "Five", "four", "Two"}));
    EXPECT_EQ(Items(form.ReplaceBox()), (QStringList{"r", "with, comma \"q\""}));
    EXPECT_EQ(SplitCommaText(*StoredString("Replace", "search")), Items(form.SearchBox()));
    // The last texts of this run come back at the next use; "Match case" too.
    ASSERT_TRUE(Replace(QStringLiteral("Zebra"), QStringLiteral("zoo"), true));
    TFormReplaceInfos next;
    Env.Prompt.OnModal = [&](QDialog&) {
        EXPECT_EQ(next.SearchBox()->currentText(), "Zebra");
        EXPECT_EQ(next.ReplaceBox()->currentText(), "zoo");
        EXPECT_TRUE(next.CaseBox()->isChecked());
        return int(QDialog::Rejected);
    };
    QString s, r;
    bool ignoreCase = true;
    QStringList ids;
    next.Execute(s, ignoreCase, ids, r);
}

TEST_F(BatchDialogsTest, TrackDialogRoundTripAndStoredValuesOutOfRange)
{
    const auto shown = [](TFormTrackNr& form) {
        return std::tuple(form.NumberingBox()->currentIndex(), form.TotalBox()->currentIndex(),
                          form.StartEdit()->PositionInt(), form.TotalEdit()->PositionInt());
    };
    Env.Prompt.OnModal = AnswerDialog<TFormTrackNr>(
        [](TFormTrackNr& form) {
            ChooseRow(form.NumberingBox(), 1);
            ChooseRow(form.TotalBox(), 2);
            form.StartEdit()->SetPosition(7);
            form.TotalEdit()->SetPosition(12);
            // From the names: the start value is not used but kept.
            EXPECT_FALSE(form.StartEdit()->isEnabled());
            EXPECT_TRUE(form.TotalEdit()->isEnabled());
        },
        "Button2");
    TTrackNrEinstellungen settings;
    ASSERT_TRUE(TFormTrackNr().Execute(settings));
    EXPECT_EQ(std::tuple(settings.NumberingType, settings.TotalMode, settings.StartValue, settings.FixedTotal),
              std::tuple(1, 2, 7, 12));
    EXPECT_EQ(StoredString("AutoTrack", "type"), QStringLiteral("O"));
    EXPECT_EQ(StoredString("AutoTrack", "setmax"), QStringLiteral("F"));

    TFormTrackNr again;
    EXPECT_EQ(shown(again), std::tuple(1, 2, 7, 12));

    // Unknown letters and numbers out of range, as stored elsewhere.
    Store(
        [](TRegistry& r) {
            r.WriteString("type", "X");
            r.WriteString("setmax", "q");
            r.WriteInteger("start", 500000);
            r.WriteInteger("max", -5);
        },
        "AutoTrack");
    TFormTrackNr form;
    EXPECT_EQ(shown(form), std::tuple(-1, -1, 99999, 0));
    EXPECT_FALSE(form.StartEdit()->isEnabled());
    Env.Prompt.OnModal = AnswerDialog<TFormTrackNr>([](TFormTrackNr&) {}, "Button2");
    settings = {}; // zeroed: no chosen total row means no total
    ASSERT_TRUE(form.Execute(settings));
    EXPECT_EQ(std::tuple(settings.NumberingType, settings.TotalMode, settings.StartValue), std::tuple(0, 0, 99999));
    EXPECT_EQ(StoredString("AutoTrack", "type"), QString());
    EXPECT_EQ(StoredString("AutoTrack", "setmax"), QString());
}

TEST_F(BatchDialogsTest, ID3v1DialogRowsAndMasks)
{
    TID3v1Infos record;
    record.Title = "Song";
    record.GenreName = "Rock";
    quint8 mask = ID3v1Field::All;
    bool overwrite = false;
    Env.Prompt.OnModal = AnswerDialog<TFormID3v1ToID3v2>(
        [](TFormID3v1ToID3v2& form) {
            QListWidget* list = form.ListBox();
            ASSERT_EQ(list->count(), 7);
            EXPECT_TRUE(list->item(0)->text().endsWith(": Song"));
            EXPECT_FALSE(list->item(3)->text().contains(':')); // track 0: no value
            EXPECT_TRUE(list->item(5)->text().endsWith(": Rock"));
            EXPECT_TRUE(form.EmptyFieldsBox()->isChecked());
            // Keep only the year and the comment; copy empty fields too.
            for (int row : {0, 1, 2, 3, 5})
                list->item(row)->setCheckState(Qt::Unchecked);
            form.EmptyFieldsBox()->setChecked(false);
        },
        "Button1");
    {
        TFormID3v1ToID3v2 form;
        ASSERT_TRUE(form.Execute(record, mask, overwrite));
    }
    EXPECT_EQ(mask, ID3v1Field::Year | ID3v1Field::Comment);
    EXPECT_TRUE(overwrite);
}

TEST_F(BatchDialogsTest, LanguagesMatchIgnoringCaseAndUnknownCodesAreKept)
{
    const auto describe = [&](const QString& language, const std::function<void(TFormCommentDesLang&)>& answer) {
        Env.Prompt.OnModal = AnswerDialog<TFormCommentDesLang>(answer, "Button1");
        TFormCommentDesLang form;
        QString description = "desc";
        QString code = language;
        EXPECT_TRUE(form.Execute("hint", description, code));
        return code;
    };
    EXPECT_EQ(describe("ENG", [](TFormCommentDesLang& form) {
                  EXPECT_EQ(form.LanguageBox()->currentData().toString(), "eng");
              }),
              "ENG");
    // A code the table lacks shows "[unknown]" but survives untouched; the
    // user's own choice counts.
    EXPECT_EQ(describe("qqq", [](TFormCommentDesLang& form) { EXPECT_EQ(form.LanguageBox()->currentIndex(), 0); }),
              "qqq");
    EXPECT_EQ(describe("qqq",
                       [](TFormCommentDesLang& form) {
                           ChooseRow(form.LanguageBox(), form.LanguageBox()->findData(QStringLiteral("deu")));
                       }),
              "deu");

    // The new-field dialog: a text field has no language.
    Env.Prompt.OnModal = AnswerDialog<TFormNeuesFeld>(
        [](TFormNeuesFeld& form) {
            EXPECT_TRUE(form.LanguageBox()->isEnabled());
            ChooseRow(form.KindBox(), 0);
            EXPECT_FALSE(form.LanguageBox()->isEnabled());
            form.DescriptionEdit()->clear();
        },
        "Button1");
    TFormNeuesFeld form;
    QString id = "COMM", description = "old", language = "fra";
    ASSERT_TRUE(form.Execute(id, description, language));
    EXPECT_EQ(id, "TXXX");
    EXPECT_EQ(description, "");
    EXPECT_EQ(language, "fra");
}
