// The batch commands on generated files, their edits saved and read back by
// python3-mutagen; renames and file dates with their undo steps.

#include "BatchTestSupport.h"

#include "commands/TimeZoneTestSupport.h"
#include "controls/UpDownEdit.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "commands/DateMerge.h"
#include "dialogs/FormCommentDesLang.h"
#include "dialogs/FormID3v1ToID3v2.h"
#include "dialogs/FormNeuesFeld.h"
#include "dialogs/FormReplaceInfos.h"
#include "dialogs/FormTrackNr.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <cerrno>
#include <tuple>

namespace {

constexpr qint64 NsPerSecond = 1000000000;

class BatchCommandsTest : public ::testing::Test, protected TRenameFixture {
protected:
    bool Write(const QString& name, const TFrameBodies& frames, std::optional<ID3v1Fields> id3v1 = std::nullopt,
               quint8 major = 3)
    {
        return WriteMp3WithFrames(Dir() + name, frames, id3v1, major);
    }

    QJsonObject Mutagen(const QStringList& names) const
    {
        QStringList paths;
        for (const QString& name : names)
            paths << Dir() + name;
        return MutagenTags(paths);
    }

    // The texts of the frames with these IDs, joined by "|".
    QString Summary(const QJsonObject& tags, const QString& name, const QStringList& ids) const
    {
        QStringList texts;
        for (const QString& id : ids)
            texts << MutagenTexts(tags, Dir() + name, id).join(QLatin1Char('/'));
        return texts.join(QLatin1Char('|'));
    }

    // The fields of the n-th frame with the ID, joined by ":".
    QString Fields(const QJsonObject& tags, const QString& name, const QString& id, const QStringList& keys,
                   int n = 0) const
    {
        const QJsonObject frame = MutagenFrame(tags, Dir() + name, id, n);
        QStringList values;
        for (const QString& key : keys)
            values << frame.value(key).toVariant().toStringList().join(QLatin1Char('/'));
        return values.join(QLatin1Char(':'));
    }

    // Gives the focus to the first input of the frame ID, as a click would.
    void FocusInput(const QString& id)
    {
        TID3v2Frame* input = InputOf(*Window, id);
        ASSERT_NE(input, nullptr) << id.toStdString();
        if (auto* date = qobject_cast<TID3v2FrameDateTime*>(input))
            date->DatePicker()->setFocus();
        else if (QWidget* text = TextControlOf(input))
            text->setFocus();
        else
            input->setFocus();
        Window->UpdateActions();
    }

};

// Encoding, MIME type, picture type and description before the data.
constexpr int PictureHeaderSize = 18;

QByteArray Picture(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char((i * 131 + 7) % 251);
    return QByteArray("\0image/png\0\3cover\0", PictureHeaderSize) + data;
}

QString Sha1OfPicture(const QByteArray& body)
{
    const QByteArray data = body.mid(PictureHeaderSize);
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

}

TEST_F(BatchCommandsTest, TrackNumbersAreWrittenAndFilesWithoutOneReported)
{
    ASSERT_TRUE(Write("a 03 - part 2.mp3", {{"TIT2", Text("A")}}));
    ASSERT_TRUE(Write("b 7.mp3", {{"TRCK", Text("9")}}));
    ASSERT_TRUE(Write("c x.mp3", {{"TRCK", Text("4")}}));
    Open();
    const QStringList names = {"a 03 - part 2.mp3", "b 7.mp3", "c x.mp3"};
    Select(names);

    // From the names, the highest as total.
    Prompt.OnModal = AnswerDialog<TFormTrackNr>(
        [](TFormTrackNr& form) {
            ChooseRow(form.NumberingBox(), 1);
            ChooseRow(form.TotalBox(), 1);
        },
        "Button2");
    Trigger("ActAutoTrackNo");
    ASSERT_EQ(Prompt.Informations.size(), 1);
    EXPECT_EQ(Prompt.Informations.last(), LangFmt("ErrorNoTrackFound", {QStringLiteral("c x.mp3\r\n")}));
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukUnsavedEntries);
    Window->SaveChangedEntries();
    const QJsonObject tags = Mutagen(names);
    EXPECT_EQ(Summary(tags, names[0], {"TRCK"}), "3/7");
    EXPECT_EQ(Summary(tags, names[1], {"TRCK"}), "7/7");
    EXPECT_EQ(Summary(tags, names[2], {"TRCK"}), "4"); // no number: kept
}

TEST_F(BatchCommandsTest, ReplaceInFieldsAndNamesThenUndoEverything)
{
    ASSERT_TRUE(Write("Aha one.mp3", {{"TIT2", Text("Aha")}, {"TPE1", Text("Bob")}}));
    ASSERT_TRUE(Write("Nothing.mp3", {{"TIT2", Text("xyz")}}));
    ASSERT_TRUE(Write("aha two.mp3", {{"TIT2", Text("Haha")}}));
    ASSERT_TRUE(Write("bhb two.mp3", {})); // takes the name "aha two" would get
    const QByteArray original = Bytes(Dir() + "Aha one.mp3");
    Open();
    Select({"Aha one.mp3", "Nothing.mp3", "aha two.mp3"});
    // "a" by "b" in the names and titles, in either case.
    Prompt.OnModal = AnswerDialog<TFormReplaceInfos>(
        [](TFormReplaceInfos& form) {
            form.SearchBox()->setEditText(QStringLiteral("a"));
            form.ReplaceBox()->setEditText(QStringLiteral("b"));
            form.CaseBox()->setChecked(false);
            for (int row = 0; row < form.FieldList()->count(); ++row) {
                QListWidgetItem* item = form.FieldList()->item(row);
                const QString id = item->data(Qt::UserRole).toString();
                item->setCheckState(id == "*FIN" || id == "TIT2" ? Qt::Checked : Qt::Unchecked);
            }
        },
        "butOK");
    Trigger("ActReplaceInFrames");

    // The rename that found its name taken is offered again with the system's
    // reason; the count has every file with a replacement.
    ASSERT_EQ(Prompt.Questions.size(), 1);
    EXPECT_TRUE(Prompt.Questions.first().contains(QStringLiteral("aha two.mp3 (") + SystemErrorText(EEXIST)
                                                  + QStringLiteral(")\n\r")));
    EXPECT_EQ(Prompt.Informations.last(), LangFmt("ReplaceFramesInfo", {2}));
    EXPECT_EQ(FilesOnDisk(), (QStringList{"Nothing.mp3", "aha two.mp3", "bhb one.mp3", "bhb two.mp3"}));
    EXPECT_EQ(Entry("Nothing.mp3")->Changed, 0);
    Window->SaveChangedEntries();
    const QJsonObject tags = Mutagen({"bhb one.mp3", "aha two.mp3"});
    EXPECT_EQ(Summary(tags, "bhb one.mp3", {"TIT2", "TPE1"}), "bhb|Bob"); // the artist was not chosen
    EXPECT_EQ(Summary(tags, "aha two.mp3", {"TIT2"}), "Hbhb");

    // Undo: both written tags, then the rename.
    for (int step = 0; step < 3; ++step)
        Trigger("ActUndo");
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukNothing);
    EXPECT_EQ(Bytes(Dir() + "Aha one.mp3"), original);
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

TEST_F(BatchCommandsTest, ReplacingInNamesNeverHidesAFileNorReordersItsName)
{
    ASSERT_TRUE(Write("Song.mp3", {}));
    ASSERT_TRUE(Write("Other song.mp3", {}));
    Open();
    const auto replaceInNames = [this](const QString& search, const QString& replacement) {
        Select(FilesOnDisk());
        Prompt.OnModal = AnswerDialog<TFormReplaceInfos>(
            [&](TFormReplaceInfos& form) {
                form.SearchBox()->setEditText(search);
                form.ReplaceBox()->setEditText(replacement);
                form.CaseBox()->setChecked(true);
                for (int row = 0; row < form.FieldList()->count(); ++row) {
                    QListWidgetItem* item = form.FieldList()->item(row);
                    item->setCheckState(item->data(Qt::UserRole).toString() == "*FIN" ? Qt::Checked : Qt::Unchecked);
                }
            },
            "butOK");
        Prompt.Informations.clear();
        Trigger("ActReplaceInFrames");
    };

    // A dot inside a name is fine; a leading one would hide the file.
    replaceInNames("S", ".");
    EXPECT_EQ(FilesOnDisk(), (QStringList{"Other song.mp3", "Song.mp3"}));
    EXPECT_EQ(Prompt.Informations.first(), LangFmt("ErrorRenameUnusableNames", {QStringLiteral("\n\rSong.mp3")}));
    replaceInNames("s", ".");
    EXPECT_EQ(FilesOnDisk(), (QStringList{"Other .ong.mp3", "Song.mp3"}));
    // A mark that would show "Other" after the rest.
    replaceInNames(" ", QStringLiteral("\u202E"));
    EXPECT_EQ(FilesOnDisk(), (QStringList{"Other .ong.mp3", "Song.mp3"}));
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    EXPECT_EQ(Prompt.Informations.first(),
              LangFmt("ErrorRenameUnusableNames", {QStringLiteral("\n\rOther .ong.mp3")}));
}

TEST_F(BatchCommandsTest, ID3v1TransferLeavesOwnRenderingsAndFilesWithoutID3v1AloneAndTagsPlainRips)
{
    const QString longTitle = QStringLiteral("A title that is longer than thirty characters");
    const ID3v1Fields v1{longTitle.left(30).toLatin1(), "V1 Artist", "V1 Album", "2004", {}, 3};
    ASSERT_TRUE(Write("with v1.mp3",
                      {{"TIT2", Text(longTitle)}, {"TPE1", Text("Other")}, {"TRCK", Text("3/12")},
                       {"TDRC", Text("2004-05-06")}},
                      v1, 4));
    ASSERT_TRUE(Write("without v1.mp3", {{"TIT2", Text("Keep")}}));
    ASSERT_TRUE(Write("own rendering.mp3", {{"TIT2", Text("Same")}, {"TPE1", Text("Same")}},
                      ID3v1Fields{"Same", "Same", {}, {}, {}, {}}));
    const QByteArray without = Bytes(Dir() + "without v1.mp3");
    const QByteArray own = Bytes(Dir() + "own rendering.mp3");
    // An old rip with nothing but its ID3v1 block.
    const QByteArray rip = Mp3Builder::ID3v1({"Ripped", "Rip Artist", {}, "1999", {}, 7});
    const QByteArray audio = Mp3Builder::CbrFrames(MpegFormat{}, 8);
    ASSERT_TRUE(Mp3Builder::WriteFile(Dir() + "only v1.mp3", Mp3Builder::File({{}, audio, {}, rip})));
    Open();
    Select({"with v1.mp3", "without v1.mp3", "own rendering.mp3", "only v1.mp3"});

    Prompt.OnModal = AnswerDialog<TFormID3v1ToID3v2>([](TFormID3v1ToID3v2&) {}, "Button1");
    Trigger("ActID3v2ToID3v1");
    Window->SaveChangedEntries();
    EXPECT_EQ(Bytes(Dir() + "without v1.mp3"), without);
    EXPECT_EQ(Bytes(Dir() + "own rendering.mp3"), own);
    const QJsonObject tags = Mutagen({"with v1.mp3", "only v1.mp3"});
    const QStringList ids = {"TIT2", "TPE1", "TALB", "TRCK", "TDRC"};
    EXPECT_EQ(Summary(tags, "only v1.mp3", ids), "Ripped|Rip Artist||7|1999");
    // The long title and the track's total and date of the ID3v2 tag stay.
    EXPECT_EQ(Summary(tags, "with v1.mp3", ids), longTitle + "|V1 Artist|V1 Album|3/12|2004-05-06");
}

TEST_F(BatchCommandsTest, CaseConversionRewritesOnlyWhatChanges)
{
    // In case already, a capital İ included: neither renamed nor written.
    ASSERT_TRUE(Write("İn Case.mp3", {{"TIT2", ID3v2Builder::TextBody(1, {"İstanbul Done"})},
                                      {"TPE1", Text("Some One")},
                                      {"COMM", Comment(QString(), QStringLiteral("Fine Text"))}}));
    ASSERT_TRUE(Write("lower.mp3",
                      {{"TIT2", Text("the BEST of (live)")},
                       {"TPE1", ID3v2Builder::TextBody(0, {"simon", "GARFUNKEL"})},
                       {"COMM", Comment(QString(), QStringLiteral("first line\nsecond line"))},
                       {"TXXX", ID3v2Builder::UserTextBody(0, "mood", {"lower"})}},
                      std::nullopt, 4));
    const qint64 time = 1600000000LL * NsPerSecond + 123456789;
    ASSERT_TRUE(SetModifiedNs(Dir() + "İn Case.mp3", time));
    const QByteArray inCase = Bytes(Dir() + "İn Case.mp3");
    Open();
    Window->Settings().ID3v2Version = 4;
    Window->ApplySettings();
    Select({"İn Case.mp3", "lower.mp3"});
    Trigger("ActGrossKleinDateiname");
    Trigger("ActGrossKleinAuto");

    EXPECT_EQ(FilesOnDisk(), (QStringList{"Lower.mp3", "İn Case.mp3"}));
    EXPECT_EQ(Window->UndoList().Count(), 1);
    EXPECT_EQ(Entry("İn Case.mp3")->Changed, 0);
    Window->SaveChangedEntries();
    EXPECT_EQ(Bytes(Dir() + "İn Case.mp3"), inCase);
    EXPECT_EQ(ModifiedNs(Dir() + "İn Case.mp3"), time);
    const QJsonObject tags = Mutagen({"Lower.mp3"});
    EXPECT_EQ(Summary(tags, "Lower.mp3", {"TIT2", "TPE1", "COMM", "TXXX"}),
              "The Best Of (Live)|Simon/Garfunkel|First Line\nSecond Line|lower");
    EXPECT_EQ(Fields(tags, "Lower.mp3", "COMM", {"lang"}), "eng");

    // A run stopped at the abort button keeps each rename done as an undo step.
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(Write(QStringLiteral("track %1.mp3").arg(i, 2, 10, QLatin1Char('0')), {{"TIT2", Text("t")}}));
    Window->ReloadFolder(false);
    Select(FilesOnDisk().filter("track"));
    const int stepsBefore = Window->UndoList().Count();
    AfterEventRounds(3, [this] { Window->ButSucheAbbrechen->click(); });
    Trigger("ActGrossKleinAllesGross");
    EXPECT_EQ(FilesOnDisk().filter("TRACK").size(), 3);
    EXPECT_EQ(Window->UndoList().Count() - stepsBefore, 3);
    EXPECT_EQ(Entry("TRACK 02.mp3")->Changed, 1);
    EXPECT_EQ(Entry("track 03.mp3")->Changed, 0);
    EXPECT_FALSE(Window->ButSucheAbbrechen->isEnabled());
}

TEST_F(BatchCommandsTest, TemplateCopiesPicturesAndStopsWhenTheyCannotBeRead)
{
    const QByteArray picture = Picture(40 * 1024);
    ASSERT_TRUE(Write("tpl.mp3", {{"TIT2", Text("Template")}, {"APIC", picture}, {"TPE1", Text("T Artist")}}));
    ASSERT_TRUE(Write("target.mp3", {{"TIT2", Text("Target")}, {"TALB", Text("Gone")}}));
    Open();
    Select({"tpl.mp3"});
    Window->CbxVorgabe->click();
    ASSERT_EQ(Window->TemplateEntry(), Entry("tpl.mp3"));

    // The template's file changed since it was read: no picture, nothing copied.
    ASSERT_TRUE(SetModifiedNs(Dir() + "tpl.mp3", 1000 * NsPerSecond));
    Select({"target.mp3"});
    Trigger("ActAllesUebernehmen");
    ASSERT_EQ(Prompt.Errors.size(), 1);
    EXPECT_EQ(Prompt.Errors.first(), LangFmt("ErrorTemplateUnreadable", {QStringLiteral("tpl.mp3")}));
    EXPECT_EQ(Entry("target.mp3")->Changed, 0);

    Open(); // reads the template again
    Select({"tpl.mp3"});
    Window->CbxVorgabe->click();
    Select({"target.mp3"});
    Trigger("ActAllesUebernehmen");
    Window->SaveChangedEntries();
    const QJsonObject tags = Mutagen({"target.mp3"});
    EXPECT_EQ(Fields(tags, "target.mp3", "APIC", {"data", "desc"}), Sha1OfPicture(picture) + ":cover");
    EXPECT_EQ(Summary(tags, "target.mp3", {"TIT2", "TALB"}), "Template|");
}

TEST_F(BatchCommandsTest, OneFieldFromTheTemplateAndClearingAll)
{
    ASSERT_TRUE(Write("a tpl.mp3", {{"TALB", Text("T Album")}}));
    ASSERT_TRUE(Write("b.mp3", {{"TALB", Text("Other")}, {"TPE1", Text("Artist B")}}));
    ASSERT_TRUE(Write("c.mp3", {{"TPE1", Text("Artist C")}}));
    Open();
    Select({"a tpl.mp3"});
    Window->CbxVorgabe->click();
    Select({"b.mp3", "c.mp3"});
    FocusInput("TALB");
    ASSERT_TRUE(Window->Action("ActFeldUebernehmen")->isEnabled());
    Trigger("ActFeldUebernehmen");
    // The template lacks an artist: copying that field removes it.
    FocusInput("TPE1");
    Trigger("ActFeldUebernehmen");
    Window->SaveChangedEntries();
    const QJsonObject tags = Mutagen({"b.mp3", "c.mp3"});
    for (const char* name : {"b.mp3", "c.mp3"})
        EXPECT_EQ(Summary(tags, name, {"TALB", "TPE1"}), "T Album|") << name;

    Trigger("ActAlleFelderLoeschen");
    EXPECT_EQ(Entry("b.mp3")->Frames.size(), 0u);
    EXPECT_EQ(Entry("a tpl.mp3")->Changed, 0);
}

TEST_F(BatchCommandsTest, FileDatesFromDateFramesAndTheirUndo)
{
    const TScopedTimeZone zone("Europe/Berlin");
    // 2021-01-30 12:34:56.123456789 in Berlin (winter time).
    const qint64 fileTime = 1612006496LL * NsPerSecond + 123456789;
    ASSERT_EQ(FileTimeAsDateText(fileTime, gnSecond), "2021-01-30T12:34:56");
    const QList<std::pair<QString, TFrameBodies>> files = {
        {"a month.mp3", {{"TDRC", Text("2003-02")}}},
        {"c same.mp3", {{"TDRC", Text("2021-01-30T12:34:56")}}},
        {"d nodate.mp3", {{"TIT2", Text("x")}}},
        {"f locked.mp3", {{"TDRC", Text("2000")}}},
    };
    QStringList names;
    for (const auto& [name, frames] : files) {
        ASSERT_TRUE(Write(name, frames, std::nullopt, 4));
        ASSERT_TRUE(SetModifiedNs(Dir() + name, fileTime));
        names << name;
    }
    ASSERT_EQ(::chmod(QFile::encodeName(Dir() + "f locked.mp3").constData(), 0444), 0);
    Open();
    Select(names);
    FocusInput("TDRC");
    ASSERT_TRUE(Window->Action("ActFileDateFromDate")->isVisible());
    Trigger("ActFileDateFromDate");

    ASSERT_EQ(Prompt.Questions.size(), 1);
    EXPECT_EQ(Prompt.Questions.first(), LangFmt("ErrorSetDate", {QStringLiteral("f locked.mp3\n\r")}));
    EXPECT_EQ(Prompt.Informations.last(), LangFmt("ErrorSetDateEmpty", {QStringLiteral("\n\rd nodate.mp3")}));
    // February 2003 has no 30th: the month's last day.
    EXPECT_EQ(ModifiedNs(Dir() + "a month.mp3"), 1046432096LL * NsPerSecond + 123456789);
    for (const char* untouched : {"c same.mp3", "d nodate.mp3", "f locked.mp3"})
        EXPECT_EQ(ModifiedNs(Dir() + untouched), fileTime) << untouched;
    EXPECT_EQ(Window->UndoList().Count(), 1);
    EXPECT_EQ(Entry("a month.mp3")->LastWriteNs, ModifiedNs(Dir() + "a month.mp3"));

    Trigger("ActUndo");
    EXPECT_EQ(ModifiedNs(Dir() + "a month.mp3"), fileTime);
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukNothing);
    ::chmod(QFile::encodeName(Dir() + "f locked.mp3").constData(), 0644);
}

TEST_F(BatchCommandsTest, AFileDateComesFromADateWrittenFirst)
{
    const TScopedTimeZone zone("Europe/Berlin");
    ASSERT_TRUE(Write("a.mp3", {{"TDRC", Text("2003-02")}}, std::nullopt, 4));
    Open();
    Select({"a.mp3"});
    FocusInput("TDRC");
    auto* input = qobject_cast<TID3v2FrameDateTime*>(InputOf(*Window, "TDRC"));
    // Saved by ID3v2.3 rules: to the minute.
    input->SetDateTime(QDateTime(QDate(1999, 5, 6), QTime(7, 8, 9)));
    Trigger("ActFileDateFromDate");
    // The file holds the date its time came from: nothing is left that
    // discarding could take back.
    EXPECT_EQ(Summary(Mutagen({"a.mp3"}), "a.mp3", {"TDRC"}), "1999-05-06 07:08:00");
    EXPECT_EQ(ModifiedNs(Dir() + "a.mp3") / (60 * NsPerSecond), 925967280LL / 60); // 07:08 in Berlin
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukFileDate);
}

TEST_F(BatchCommandsTest, DateFramesFromFileDatesKeepTheirPrecision)
{
    const TScopedTimeZone zone("Europe/Berlin");
    const qint64 fileTime = 1625133600LL * NsPerSecond + 999999999; // 2021-07-01 12:00:00.999 in Berlin
    ASSERT_TRUE(Write("a year.mp3", {{"TDRC", Text("1998")}}, std::nullopt, 4));
    ASSERT_TRUE(Write("b full.mp3", {{"TDRC", Text("1998-01-02T03:04:05")}}, std::nullopt, 4));
    ASSERT_TRUE(Write("c none.mp3", {{"TIT2", Text("x")}}, std::nullopt, 4));
    for (const char* name : {"a year.mp3", "b full.mp3", "c none.mp3"})
        ASSERT_TRUE(SetModifiedNs(Dir() + name, fileTime));
    Open();
    Select({"a year.mp3", "b full.mp3", "c none.mp3"});
    FocusInput("TDRC");
    const auto* input = qobject_cast<TID3v2FrameDateTime*>(InputOf(*Window, "TDRC"));
    const TDateGenauigkeit highest = input->DateGenauigkeitMax();
    Trigger("ActDateFromFileDate");
    EXPECT_EQ(FrameText(Entry("a year.mp3")->Frames, "TDRC"), "2021");
    EXPECT_EQ(FrameText(Entry("b full.mp3")->Frames, "TDRC"), "2021-07-01T12:00:00");
    EXPECT_EQ(FrameText(Entry("c none.mp3")->Frames, "TDRC"), FileTimeAsDateText(fileTime, highest));
    EXPECT_EQ(ModifiedNs(Dir() + "a year.mp3"), fileTime); // no file is touched
}

TEST_F(BatchCommandsTest, ANewDescriptionForSeveralFilesKeepsEachFilesValue)
{
    ASSERT_TRUE(Write("a.mp3", {{"TXXX", ID3v2Builder::UserTextBody(0, "MOOD", {"calm"})},
                                {"COMM", Comment(QString(), QStringLiteral("Track 1 of 2"), "eng")}}));
    ASSERT_TRUE(Write("b.mp3", {{"TXXX", ID3v2Builder::UserTextBody(0, "MOOD", {"wild"})},
                                {"COMM", Comment(QString(), QStringLiteral("Track 2 of 2"), "eng")}}));
    Open();
    Select({"a.mp3", "b.mp3"});
    FocusInput("TXXX");
    Prompt.Inputs = {QStringLiteral("Mood")};
    Trigger("ActTXXXChangeDes");
    FocusInput("COMM");
    Prompt.OnModal = AnswerDialog<TFormCommentDesLang>(
        [](TFormCommentDesLang& form) {
            form.DescriptionEdit()->setText(QStringLiteral("Notes"));
            ChooseRow(form.LanguageBox(), form.LanguageBox()->findData(QStringLiteral("deu")));
        },
        "Button1");
    Trigger("ActCommChangeDesLang");
    Window->CommitEdits();

    // (both files had file a's values before)
    const QJsonObject tags = Mutagen({"a.mp3", "b.mp3"});
    for (const auto& [name, mood, comment] : {std::tuple{"a.mp3", "calm", "Track 1 of 2"},
                                               std::tuple{"b.mp3", "wild", "Track 2 of 2"}}) {
        EXPECT_EQ(Fields(tags, name, "TXXX", {"desc", "text"}), QStringLiteral("Mood:") + mood);
        EXPECT_EQ(Fields(tags, name, "COMM", {"desc", "lang", "text"}), QStringLiteral("Notes:deu:") + comment);
    }
}

TEST_F(BatchCommandsTest, AMorePreciseDateForSeveralFilesKeepsEachFilesDate)
{
    ASSERT_TRUE(Write("a.mp3", {{"TDRC", Text("2005")}}, std::nullopt, 4));
    ASSERT_TRUE(Write("b.mp3", {{"TDRC", Text("2005-04-06")}}, std::nullopt, 4));
    Open();
    Window->Settings().ID3v2Version = 4;
    Window->ApplySettings();
    Select({"a.mp3", "b.mp3"});
    FocusInput("TDRC");
    Trigger("ActDateTimeGenauer");
    Window->CommitEdits();
    // (b's day was lost before: both became "2005-01")
    const QJsonObject tags = Mutagen({"a.mp3", "b.mp3"});
    // (mutagen shows the "T" as a blank)
    EXPECT_EQ(Summary(tags, "a.mp3", {"TDRC"}) + "," + Summary(tags, "b.mp3", {"TDRC"}), "2005-01,2005-04-06 00");
}

TEST_F(BatchCommandsTest, AddedFieldsAndDescriptionsRefuseDuplicates)
{
    ASSERT_TRUE(Write("a.mp3", {{"TXXX", ID3v2Builder::UserTextBody(0, "Mood", {"calm"})},
                                {"COMM", Comment(QStringLiteral("Note"), QStringLiteral("hi"), "eng")}}));
    Open();
    Select({"a.mp3"});
    int rounds = 0;
    Prompt.OnModal = [&](QDialog& dialog) {
        auto& form = static_cast<TFormNeuesFeld&>(dialog);
        ++rounds;
        if (rounds == 1) { // differs only in case and blanks: refused
            ChooseRow(form.KindBox(), 0);
            form.DescriptionEdit()->setText(QStringLiteral("  mood "));
        } else { // the dialog comes back with what was entered
            EXPECT_EQ(form.DescriptionEdit()->text(), "mood");
            ChooseRow(form.KindBox(), 2);
            form.DescriptionEdit()->setText(QStringLiteral("note"));
            ChooseRow(form.LanguageBox(), form.LanguageBox()->findData(QStringLiteral("deu")));
        }
        form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        return dialog.result();
    };
    Trigger("ActAddFrame");
    EXPECT_EQ(rounds, 2);
    EXPECT_EQ(Prompt.Informations.first(), LangFmt("ErrorDoubleTXXX", {QStringLiteral("mood")}));
    // Another language: a comment of its own.
    auto* added = qobject_cast<TID3v2FrameComment*>(Window->PageInputs().back());
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Language(), "deu");
    EXPECT_EQ(added->Description(), "note");
    EXPECT_TRUE(added->KillOnClear());
    TypeInto(added, QStringLiteral("Hallo"));

    // Changing only the letter case of its own description is allowed.
    FocusInput("TXXX");
    Prompt.Inputs = {QStringLiteral("MOOD")};
    Trigger("ActTXXXChangeDes");
    EXPECT_EQ(Prompt.Informations.size(), 1);
    Window->CommitEdits();
    const QJsonObject tags = Mutagen({"a.mp3"});
    EXPECT_EQ(Fields(tags, "a.mp3", "TXXX", {"desc"}), "MOOD");
    QStringList comments;
    for (int n = 0; n < 2; ++n)
        comments << Fields(tags, "a.mp3", "COMM", {"lang", "desc", "text"}, n);
    comments.sort();
    EXPECT_EQ(comments, (QStringList{"deu:note:Hallo", "eng:Note:hi"}));
}
