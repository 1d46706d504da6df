#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/FormCDDB.h"
#include "controls/OwnerDataModel.h"

#include "cddb/DiscIDCalculator.h"
#include "cddb/ServerText.h"
#include "localisation/MultiLanguage.h"
#include "common/SettingsKey.h"
#include "platform/Opener.h"
#include "platform/Registry.h"
#include "tagengine/FrameCodecs.h"

#include "support/FakeCDDBServer.h"
#include "support/FakeCdrom.h"
#include "support/QtPrinters.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString QueryA = QStringLiteral("0c01a202 2 150 14270 420");
const QString QueryB = QStringLiteral("02012a01 1 150 300");
const QString QueryByLength = QStringLiteral("0c01a102 2 150 14250 419");

TCdToc TocA() { return TFakeCdrom::TocOfFrames({150, 14270}, 420 * 75); }
TCdToc TocB() { return TFakeCdrom::TocOfFrames({150}, 300 * 75); }

class FormCDDBTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Server.Reply("cddb query " + QueryA, "211 close matches\r\n"
                                             "rock 0c01a202 The Band / Live\r\n"
                                             "misc 0c01a299 Other Band / Studio\r\n.\r\n");
        Server.Reply("cddb read rock 0c01a202",
                     "210 rock 0c01a202\r\n# comment\r\nDTITLE=The Band / Live\r\nTTITLE0=Guest / Opening\r\n"
                     "TTITLE1=Closing\r\nEXTD=\r\n.\r\n");
        Server.Reply("cddb read misc 0c01a299", "210 misc 0c01a299\r\nTTITLE0=Uno\r\nTTITLE1=Dos\r\n.\r\n");
        Server.Reply("cddb query " + QueryB, "202 No match for disc ID 02012a01.\r\n");
        Server.Reply("cddb query " + QueryByLength, "200 rock 0c01a102 Length Band / By Length\r\n");
        Server.Reply("cddb read rock 0c01a102", "210 rock\r\nTTITLE0=First\r\nTTITLE1=Second\r\n.\r\n");
        ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
        Cdrom.DriveList = {{"/dev/sr0", "VENDOR", "MODEL"}};
        Cdrom.Discs.insert("/dev/sr0", TocA());
    }

    TEintragdaten& Add(const QString& name, const QString& trck = QString(), qint64 lengthMs = 0)
    {
        auto entry = std::make_unique<TEintragdaten>();
        entry->Folder = Env.Folder() + QLatin1Char('/');
        entry->FileName = name;
        entry->Length = lengthMs;
        entry->Edited = 1;
        if (!trck.isNull()) {
            TID3Frame frame(QStringLiteral("TRCK"));
            SetTextFrame(frame, QString(), {trck});
            entry->SetFrame(QStringLiteral("TRCK"), &frame, 0);
            entry->Changed = 0;
        }
        Entries.push_back(std::move(entry));
        return *Entries.back();
    }

    static TEintragdaten& AddMcdi(TEintragdaten& entry, const TCdToc& toc, int tracks)
    {
        TID3Frame frame(QStringLiteral("MCDI"));
        frame.SetBody(toc.Head(tracks));
        entry.SetFrame(QStringLiteral("MCDI"), &frame, 0);
        entry.Changed = 0;
        return entry;
    }

    // Runs the wizard against the server at port (the fixture's when 0);
    // steps drive it while it is "shown".
    bool Run(const std::function<void(TFormCDDB&)>& steps, int port = 0)
    {
        Env.Prompt.OnModal = [&](QDialog& dialog) {
            auto& form = dynamic_cast<TFormCDDB&>(dialog);
            steps(form);
            return dialog.result();
        };
        TFormCDDB form;
        return form.Execute(Entries, QStringLiteral("127.0.0.1"), false, 0, QString(), QStringLiteral("tester"),
                            QStringLiteral("/~cddb/cddb.cgi"), port ? port : Server.Port());
    }

    static QStringList Column(const TFormCDDB& form, int column)
    {
        QStringList texts;
        for (int row = 0; row < int(form.Rows().size()); ++row)
            texts << (form.CurrentPage() == 5 ? form.PossibilityCellText(row, column) : form.SuggestionText(row, column));
        return texts;
    }

    // The texts of the frames, "<none>" for a missing one.
    static QStringList Text(const TEintragdaten& entry, std::initializer_list<const char*> ids)
    {
        QStringList texts;
        for (const char* id : ids) {
            const TID3Frame* frame = FindFrame(entry.Frames, QString::fromLatin1(id));
            texts << (frame ? GetFrameAsText(*frame) : QStringLiteral("<none>"));
        }
        return texts;
    }

    // Whether the list's columns fill its rows' whole width, once the shown
    // wizard has its size.
    static bool ColumnsFillTheList(const QTreeView* list)
    {
        return WaitUntil([list] {
            int width = 0;
            for (int column = 0; column < list->model()->columnCount(); ++column)
                width += list->columnWidth(column);
            return list->model()->columnCount() == 4 && width == list->viewport()->width();
        });
    }

    QStringList Commands() const
    {
        QStringList commands;
        for (const auto& request : Server.Requests())
            commands << TFakeCDDBServer::Field(request.toObject(), QStringLiteral("cmd"));
        return commands;
    }

    static QString StoredSearchType()
    {
        TRegistry reg;
        if (!reg.OpenKey(ProgramSettingsSubkey(QStringLiteral("CDDBWindow")), false))
            return QStringLiteral("<none>");
        return reg.ReadString(QStringLiteral("SearchType")).value_or(QStringLiteral("<none>"));
    }

    TMainWindowEnvironment Env;
    TFakeCDDBServer Server;
    TFakeCdrom Cdrom;
    TEintragdatenList Entries;
};

}

TEST_F(FormCDDBTest, SearchByCDWithMoreFilesThanTracksWritesTracksAndTheTable)
{
    Add("b.mp3", "2");
    Add("a.mp3", "1");
    Add("c.mp3");
    Entries.back()->Edited = 0; // not selected
    Add("d.mp3");
    const bool done = Run([&](TFormCDDB& form) {
        EXPECT_EQ(form.BoxCDDrives->currentText(), QStringLiteral("/dev/sr0 [VENDOR MODEL]"));
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 3);
        EXPECT_EQ(form.Queries(), QStringList({QueryA}));
        ASSERT_EQ(form.TVCddb->topLevelItemCount(), 2);
        EXPECT_EQ(form.TVCddb->topLevelItem(0)->text(0), QStringLiteral("The Band - Live (rock)"));
        EXPECT_EQ(form.TVCddb->topLevelItem(0)->child(0)->text(0), QStringLiteral("Guest - Opening"));
        // A track node chooses its CD.
        form.TVCddb->setCurrentItem(form.TVCddb->topLevelItem(0)->child(1));
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 2);
        EXPECT_FALSE(form.PanExchange->isHidden()) << "the first track names an artist";
        EXPECT_EQ(Column(form, 0), QStringList({"1", "2", "-"}));
        EXPECT_EQ(Column(form, 1), QStringList({"a.mp3", "b.mp3", "d.mp3"}));
        EXPECT_EQ(Column(form, 2), QStringList({"Guest", "The Band", Lang("freedbPage3NoChange")}));
        EXPECT_EQ(Column(form, 3), QStringList({"Opening", "Closing", ""}));
        form.ActWeiterExecute();
    });
    ASSERT_TRUE(done);
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << Env.Prompt.Errors.join('|').toStdString();
    EXPECT_EQ(Text(*Entries[0], {"TPE1", "TIT2", "TRCK"}), QStringList({"The Band", "Closing", "2/2"}));
    EXPECT_FALSE(Entries[2]->Changed);
    EXPECT_FALSE(Entries[3]->Changed) << "a file beyond the CD's tracks";
    EXPECT_EQ(Commands(), QStringList({"cddb query " + QueryA, "cddb read rock 0c01a202", "cddb read misc 0c01a299"}));

    // On a machine without a CD drive the kept search by a drive is not
    // offered; the search by play lengths takes its place.
    Cdrom.DriveList.clear();
    Run([&](TFormCDDB& form) {
        EXPECT_FALSE(form.RadioButton1->isEnabled());
        EXPECT_FALSE(form.BoxCDDrives->isEnabled());
        EXPECT_TRUE(form.RadioButton3->isChecked());
        form.Button4Click();
    });
}

TEST_F(FormCDDBTest, SearchByCDWithFewerFilesPadsAndReportsAnEmptyDrive)
{
    Add("only.mp3", "2");
    const bool done = Run([&](TFormCDDB& form) {
        Cdrom.Discs.remove("/dev/sr0");
        form.ActWeiterExecute();
        EXPECT_EQ(form.CurrentPage(), 1);
        EXPECT_EQ(Env.Prompt.Errors, QStringList({Lang("freedbPage1NoCD")}));
        Cdrom.Discs.insert("/dev/sr0", TocA());
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 3);
        ASSERT_EQ(form.Rows().size(), 2u);
        EXPECT_EQ(form.Rows()[1].Entry, nullptr);
        EXPECT_EQ(form.Rows()[1].Query, QueryA);
        form.CBSaveCDDBInfo->setChecked(false);
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 2);
        EXPECT_EQ(Column(form, 1), QStringList({"only.mp3", ""}));
        form.CBSaveCDDBInfo->setChecked(false);
        form.ActWeiterExecute();
    });
    ASSERT_TRUE(done);
    EXPECT_EQ(Text(*Entries[0], {"TIT2"}), QStringList({"Opening"})) << "the one file takes the first track";
    EXPECT_EQ(FindFrame(Entries[0]->Frames, "MCDI"), nullptr);
}

TEST_F(FormCDDBTest, SearchByStoredTablesOffersEachFilesCDsAndWritesTickedOnes)
{
    TEintragdaten& one = AddMcdi(Add("one.mp3", "1"), TocA(), 2);
    TEintragdaten& two = AddMcdi(Add("two.mp3", "2"), TocA(), 2);
    TEintragdaten& other = AddMcdi(Add("other.mp3", "1"), TocB(), 1);
    TEintragdaten& far = AddMcdi(Add("far.mp3", "7"), TocA(), 2);
    Add("plain.mp3", "3");
    const bool done = Run([&](TFormCDDB& form) {
        form.RadioButton2->setChecked(true);
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 4);
        EXPECT_EQ(form.Queries(), QStringList({QueryA, QueryB}));
        const QStringList report = form.MmoSuchBericht->toPlainText().split('\n');
        EXPECT_EQ(report.mid(0, 2), QStringList({LangFmt("freedbPage2Report1", {4, 2}), LangFmt("freedbPage2Report2", {2})}));
        EXPECT_TRUE(report.contains("    The Band - Live (rock)") && report.contains("    Other Band - Studio (misc)"));
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 5);
        EXPECT_EQ(Column(form, 0), QStringList({"one.mp3", "two.mp3", "other.mp3", "far.mp3"}));
        EXPECT_EQ(Column(form, 1), QStringList({"1/2", "1/2", "?", "1/2"}));
        EXPECT_EQ(Column(form, 3), QStringList({"Opening", "Closing", "", ""}));

        // The second file takes the other CD; stepping wraps both ways.
        form.SelectRow(1);
        form.ActMoeglichkeitExecute(1);
        EXPECT_EQ(form.PossibilityCellText(1, 3), QStringLiteral("Dos"));
        form.ActMoeglichkeitExecute(1);
        EXPECT_EQ(form.PossibilityCellText(1, 3), QStringLiteral("Closing"));
        form.ActMoeglichkeitExecute(-1);
        EXPECT_EQ(form.PossibilityCellText(1, 3), QStringLiteral("Dos"));
        form.SelectRow(2);
        form.ActMoeglichkeitExecute(1);
        EXPECT_EQ(Env.Prompt.Beeps, 1) << "a file without CD has nothing to step to";

        // The first row is unticked by a press on its check mark.
        form.LVFiles2Press(5, 0);
        EXPECT_FALSE(form.Rows()[0].Checked);
        form.LVFiles2Press(5, -1);
        EXPECT_EQ(Env.Prompt.Beeps, 2);
        form.ActWeiterExecute();
    });
    ASSERT_TRUE(done);
    EXPECT_FALSE(one.Changed);
    EXPECT_EQ(Text(two, {"TPE1", "TIT2", "TALB", "TRCK"}), QStringList({"Other Band", "Dos", "Studio", "2/2"}));
    EXPECT_FALSE(other.Changed);
    EXPECT_FALSE(far.Changed);
    EXPECT_EQ(StoredSearchType(), QStringLiteral("tag"));
}

TEST_F(FormCDDBTest, SearchByPlayLengthsTakesUpTo99FilesInTrackOrder)
{
    // Without files, then with 100, then with the two tracks of a CD (and
    // 97 more that are not selected).
    const bool refused = Run([&](TFormCDDB& form) {
        form.RadioButton3->setChecked(true);
        form.ActWeiterExecute();
        EXPECT_EQ(Env.Prompt.Errors.takeLast(), Lang("freedbPage1NoMP3Selected"));
        for (int i = 1; i <= 100; ++i)
            Add(QStringLiteral("%1.mp3").arg(i, 3, 10, QLatin1Char('0')), QString(), 1000);
        form.ActWeiterExecute();
        EXPECT_EQ(Env.Prompt.Errors.takeLast(), Lang("freedbPage1TooManyMP3s"));
        EXPECT_EQ(form.CurrentPage(), 1);
        Entries.back()->Edited = 0;
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 3);
        EXPECT_TRUE(form.Queries().first().contains(QStringLiteral(" 99 150 225 300 ")));
        EXPECT_EQ(Env.Prompt.Errors, QStringList({LangFmt("freedbPage2ServerError", {"500 Command syntax error"})}));
        EXPECT_FALSE(form.PanCDDBNichtsGefunden->isHidden());
        EXPECT_FALSE(form.ActWeiter->isEnabled());
        form.Button4Click();
    });
    EXPECT_FALSE(refused);
    EXPECT_EQ(StoredSearchType(), QStringLiteral("<none>")) << "kept only after OK";

    Entries.clear();
    Env.Prompt.Errors.clear();
    Add("Second.mp3", "2", 229499);
    Add("First.mp3", "1", 188500);
    const bool done = Run([&](TFormCDDB& form) {
        EXPECT_TRUE(form.RadioButton1->isChecked()) << "no search type was kept";
        form.RadioButton3->setChecked(true);
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 3);
        EXPECT_EQ(form.Queries(), QStringList({QueryByLength}));
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 2);
        EXPECT_TRUE(form.PanSaveCDDBInfo->isHidden());
        EXPECT_TRUE(form.PanExchange->isHidden());
        form.ActWeiterExecute();
    });
    ASSERT_TRUE(done);
    EXPECT_EQ(Text(*Entries[1], {"TIT2"}), QStringList({"First"}));
    EXPECT_EQ(Text(*Entries[0], {"TIT2", "TPE1"}), QStringList({"Second", "Length Band"}));
    EXPECT_EQ(FindFrame(Entries[0]->Frames, "MCDI"), nullptr);
    EXPECT_EQ(StoredSearchType(), QStringLiteral("mp3"));
}

TEST_F(FormCDDBTest, RowsFollowTrackNumbersAndNamesAndMoveWithTheButtons)
{
    Add("Zeta.mp3");
    Add("02 Beta.mp3");
    Add("alpha.mp3");
    QStringList played;
    const TScopedOpener opener([&](const QUrl& url, const TOpenFailed&) {
        played << url.toLocalFile();
    });
    const bool done = Run([&](TFormCDDB& form) {
        form.ActWeiterExecute();
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 2);
        EXPECT_EQ(Column(form, 1), QStringList({"02 Beta.mp3", "alpha.mp3", "Zeta.mp3"}));
        // The columns share the whole width, also when the wizard grows.
        form.show();
        EXPECT_TRUE(ColumnsFillTheList(form.LVFiles));
        form.resize(form.width() + 137, form.height());
        EXPECT_TRUE(ColumnsFillTheList(form.LVFiles));
        // The buttons' pictures are clear when enabled and greyed when not.
        for (const QAction* action : {form.ActNachOben, form.ActNachUnten, form.ActPlay, form.ActNaechsteMoeglichkeit,
                                      form.ActVorherigeMoeglichkeit}) {
            EXPECT_LE(InkLightness(action->icon(), QIcon::Normal), EnabledInk) << action->objectName().toStdString();
            EXPECT_GE(InkLightness(action->icon(), QIcon::Disabled), DisabledInk) << action->objectName().toStdString();
        }
        EXPECT_FALSE(form.ActNachOben->isEnabled());
        form.ActNachObenExecute();
        EXPECT_EQ(Env.Prompt.Beeps, 1);

        form.SelectRow(1);
        EXPECT_TRUE(form.ActNachOben->isEnabled());
        form.ActNachObenExecute();
        EXPECT_EQ(form.SelectedRow(), 0);
        EXPECT_EQ(Column(form, 1), QStringList({"alpha.mp3", "02 Beta.mp3", "Zeta.mp3"}));
        form.ActNachUntenExecute();
        form.ActNachUntenExecute();
        EXPECT_EQ(Column(form, 1), QStringList({"02 Beta.mp3", "Zeta.mp3", "alpha.mp3"}));
        EXPECT_FALSE(form.ActNachUnten->isEnabled());
        form.ActNachUntenExecute();
        EXPECT_EQ(Env.Prompt.Beeps, 2);

        form.ActPlay->trigger();
        EXPECT_EQ(played, QStringList({Env.Folder() + "/alpha.mp3"}));

        // Swapped artist and title, where a track names an artist.
        form.CBExchangeArtistAndTitle->click();
        EXPECT_EQ(Column(form, 2).mid(0, 2), QStringList({"Opening", "The Band"}));
        EXPECT_EQ(Column(form, 3).mid(0, 2), QStringList({"Guest", "Closing"}));
        form.ActWeiterExecute();
    });
    ASSERT_TRUE(done);
    EXPECT_EQ(Text(*Entries[1], {"TPE1", "TIT2"}), QStringList({"Opening", "Guest"}));
    EXPECT_EQ(Text(*Entries[0], {"TPE1", "TIT2"}), QStringList({"The Band", "Closing"}));
    EXPECT_FALSE(Entries[2]->Changed);
}

TEST_F(FormCDDBTest, BackAndCancelChangeNothing)
{
    Add("a.mp3", "1");
    const bool done = Run([&](TFormCDDB& form) {
        form.ActWeiterExecute();
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 2);
        form.ActZurueckExecute();
        EXPECT_EQ(form.CurrentPage(), 3);
        EXPECT_EQ(Commands().size(), 6) << "showing the found CDs again searches again";
        form.ActZurueckExecute();
        EXPECT_EQ(form.CurrentPage(), 1);
        EXPECT_FALSE(form.ActZurueck->isEnabled());
        form.ActZurueckExecute();
        EXPECT_EQ(form.CurrentPage(), 1);
        // Switching to the search by tables and back again.
        form.RadioButton2->setChecked(true);
        form.ActWeiterExecute();
        EXPECT_EQ(Env.Prompt.Errors, QStringList({Lang("freedbPage1NoCDDBInfo")}));
        form.Button4Click();
    });
    EXPECT_FALSE(done);
    EXPECT_FALSE(Entries[0]->Changed);
}

TEST_F(FormCDDBTest, CancelEscOrClosingEndASlowSearchAtOnceAndChangeNothing)
{
    Add("a.mp3", "1");
    const auto before = CloneFrames(Entries[0]->Frames);
    // A reply of a byte every two seconds would take longer than the server
    // lives, and no read time-out comes first: only a cancel ends the search
    // while the server still runs.
    TFakeCDDBServer slowServer;
    slowServer.Add({.Command = "cddb query .*", .Body = "200 rock 0c01a202 Slow / Answer\r\n", .Trickle = 2});
    slowServer.Reply("cddb read .*", "210 x\r\nTTITLE0=T\r\nTTITLE1=U\r\n.\r\n");
    ASSERT_TRUE(slowServer.Start());
    const int readTimeout = TmyFreedbHttp::SetDefaultReadTimeout(60 * 60 * 1000);

    const std::vector<std::function<void(TFormCDDB&)>> cancels{
        [](TFormCDDB& form) { QTest::mouseClick(form.Button4, Qt::LeftButton); },
        [](TFormCDDB& form) { QTest::keyClick(form.TVCddb, Qt::Key_Escape); },
        [](TFormCDDB& form) { form.close(); },
    };
    for (size_t way = 0; way < cancels.size(); ++way) {
        bool tried = false;
        const bool done = Run(
            [&](TFormCDDB& form) {
                form.show();
                // Once the server has the query.
                QTimer queried;
                QObject::connect(&queried, &QTimer::timeout, &form, [&] {
                    if (tried || slowServer.Requests().size() <= qsizetype(way))
                        return;
                    tried = true;
                    EXPECT_TRUE(form.IsSearching());
                    // Nothing else acts meanwhile.
                    form.ActZurueckExecute();
                    form.ActWeiterExecute();
                    EXPECT_EQ(form.CurrentPage(), 3);
                    cancels[way](form);
                });
                queried.start(10);
                form.ActWeiterExecute();
                EXPECT_TRUE(tried);
                EXPECT_FALSE(form.IsSearching());
                EXPECT_FALSE(form.isVisible());
            },
            slowServer.Port());
        EXPECT_FALSE(done);
        EXPECT_TRUE(slowServer.IsRunning()) << "the search ended only with the server";
    }
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << Env.Prompt.Errors.join('|').toStdString();
    EXPECT_EQ(slowServer.Requests().size(), 3) << "no CD is read after a cancelled query";
    EXPECT_FALSE(Entries[0]->Changed);
    EXPECT_EQ(Entries[0]->Frames[0]->Body(), before[0]->Body());

    // Left alone, the search ends at the read time-out (shortened here), not
    // with the reply.
    TmyFreedbHttp::SetDefaultReadTimeout(800);
    Run(
        [&](TFormCDDB& form) {
            form.ActWeiterExecute();
            EXPECT_FALSE(form.PanCDDBNichtsGefunden->isHidden());
            EXPECT_EQ(form.lblNetStatus->text(), Lang("freedbPage2StateFailed"));
            form.Button4Click();
        },
        slowServer.Port());
    TmyFreedbHttp::SetDefaultReadTimeout(readTimeout);
    EXPECT_EQ(Env.Prompt.Errors, QStringList({Lang("freedbTimeout")}));
}

TEST_F(FormCDDBTest, AHugeListOfMatchesShowsTheFirstFiftyAndSaysThatThereAreMore)
{
    Add("a.mp3", "1");
    // The status after a search that lists 50 of 20,000 matches, given in
    // lines of this length (0: short ones).
    const auto statusAfter = [&](int matchLength) {
        TFakeCDDBServer generous;
        generous.Add({.Command = "cddb query .*", .Body = {}, .Matches = 20000, .MatchLength = matchLength});
        generous.Reply("cddb read .*", "210 x\r\nTTITLE0=T\r\nTTITLE1=U\r\n.\r\n");
        EXPECT_TRUE(generous.Start());
        QString status;
        Run(
            [&](TFormCDDB& form) {
                form.ActWeiterExecute();
                ASSERT_EQ(form.CurrentPage(), 3);
                EXPECT_EQ(form.TVCddb->topLevelItemCount(), 50);
                EXPECT_TRUE(form.ActWeiter->isEnabled());
                status = form.lblNetStatus->text();
                form.Button4Click();
            },
            generous.Port());
        EXPECT_EQ(generous.Requests().size(), 1 + 50);
        return status;
    };
    EXPECT_EQ(statusAfter(0), LangFmt("freedbPage2MoreMatches", {20000, 50}));

    // Realistic lines: 1.15 MB, more than any reply may hold; "more than"
    // as many as came within the size of a reply.
    const QString status = statusAfter(58);
    const QStringList note = LangFmt("freedbPage2MoreMatchesUncounted", {999999, 50}).split("999999");
    EXPECT_TRUE(status.startsWith(note[0]) && status.endsWith(note[1])) << status.toStdString();
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << Env.Prompt.Errors.join('|').toStdString();
}

TEST_F(FormCDDBTest, ARefusedOrCutReplyIsReportedForWhatItIsAndWritesNothing)
{
    Add("a.mp3", "1");
    Add("b.mp3", "2");
    TFakeCDDBServer broken;
    broken.Add({.Command = "cddb query " + QueryA, .Body = {}, .HttpStatus = 404});
    ASSERT_TRUE(broken.Start());
    const auto searchFails = [&](TFormCDDB& form) {
        form.ActWeiterExecute();
        ASSERT_EQ(form.CurrentPage(), 3);
        EXPECT_FALSE(form.PanCDDBNichtsGefunden->isHidden());
        EXPECT_FALSE(form.ActWeiter->isEnabled());
        EXPECT_EQ(form.lblNetStatus->text(), Lang("freedbPage2StateFailed"));
        form.Button4Click();
    };
    EXPECT_FALSE(Run(searchFails, broken.Port()));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), LangFmt("freedbHttpError", {"404 Not Found"}));
    // The report of the search by stored tables says so too.
    AddMcdi(*Entries[0], TocA(), 2);
    const bool reported = Run(
        [&](TFormCDDB& form) {
            form.RadioButton2->setChecked(true);
            form.ActWeiterExecute();
            ASSERT_EQ(form.CurrentPage(), 4);
            EXPECT_EQ(form.lblNetStatusID3->text(), Lang("freedbPage2StateFailed"));
            EXPECT_EQ(form.MmoSuchBericht->toPlainText(), Lang("freedbPage2Report5"));
            form.Button4Click();
        },
        broken.Port());
    EXPECT_FALSE(reported);
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), LangFmt("freedbHttpError", {"404 Not Found"}));

    broken.Reply("cddb query " + QueryB, "200 rock 0c01a202 Cut / Short\r\n");
    broken.Add({.Command = "cddb read rock 0c01a202", .Body = "210 rock\r\nTTITLE0=One\r\nTTITLE1=Two\r\n",
                .Length = "none"});
    Cdrom.Discs.insert("/dev/sr0", TocB());
    EXPECT_FALSE(Run(searchFails, broken.Port()));
    EXPECT_EQ(Env.Prompt.Errors, QStringList({Lang("freedbIncompleteReply")}));
    EXPECT_FALSE(Entries[0]->Changed);
}

TEST_F(FormCDDBTest, AServersErrorLineIsShownShortAndPrintableWithTheWholeUnderDetails)
{
    Add("a.mp3", "1");
    TFakeCDDBServer hostile;
    // 0x9D is a C1 control in Windows-1252 too.
    const QString line = QStringLiteral("401 \x01\x02\x9d") + QString(5000, QLatin1Char('x'));
    hostile.Reply("cddb query .*", line + QStringLiteral("\r\n"), "latin-1");
    ASSERT_TRUE(hostile.Start());
    Run(
        [](TFormCDDB& form) {
            form.ActWeiterExecute();
            EXPECT_EQ(form.lblNetStatus->text(), Lang("freedbPage2StateFailed"));
        },
        hostile.Port());
    ASSERT_EQ(Env.Prompt.Errors.size(), 1);
    const QString shown = Env.Prompt.Errors.first();
    EXPECT_LT(shown.size(), 400);
    EXPECT_TRUE(shown.contains(QStringLiteral("401 \ufffd\ufffd\ufffdxxx")));
    // Control characters only in the message's own line break.
    EXPECT_EQ(shown.count(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f-\\x9f]"))), 2) << shown.toStdString();
    ASSERT_EQ(Env.Prompt.ErrorDetails.size(), 1);
    EXPECT_TRUE(Env.Prompt.ErrorDetails.first().endsWith(QString(5000, QLatin1Char('x'))));

    // So is the reason of an HTTP refusal: 20,000 characters with ESC, BEL
    // and C1 controls.
    Env.Prompt.Errors.clear();
    const QString reason = QStringLiteral("Busy\x1b[2J\x07\x85\x9d") + QString(20000, QLatin1Char('r'));
    TFakeCDDBServer refusing;
    refusing.Add({.Command = "cddb query .*",
                  .Body = "HTTP/1.1 503 " + reason + "\r\nContent-Length: 0\r\n\r\n",
                  .Encoding = "latin-1",
                  .Raw = true});
    ASSERT_TRUE(refusing.Start());
    Run([](TFormCDDB& form) { form.ActWeiterExecute(); }, refusing.Port());
    ASSERT_EQ(Env.Prompt.Errors.size(), 1);
    const QString refusal = Env.Prompt.Errors.first();
    EXPECT_LT(refusal.size(), 400);
    EXPECT_TRUE(refusal.contains(QStringLiteral("503 Busy\ufffd[2J\ufffd\ufffd\ufffdrrr"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("r\u2026"))) << refusal.toStdString();
    EXPECT_FALSE(refusal.contains(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f-\\x9f]"))));
}

TEST_F(FormCDDBTest, ServerTextsOfAMillionCharactersAreCutBeforeTheyReachTheTagsAndTheCutIsTold)
{
    Add("a.mp3", "1");
    Add("b.mp3", "2");
    const QString huge(1000000, QLatin1Char('a'));
    TFakeCDDBServer generous;
    // Each reply within the most a reply may have.
    generous.Reply("cddb query .*", "200 rock 0c01a202 " + huge + " / Album\r\n");
    generous.Reply("cddb read .*", "210 rock\r\nTTITLE0=" + huge + "\r\nTTITLE1=Short\r\n.\r\n");
    ASSERT_TRUE(generous.Start());
    const bool done = Run(
        [&](TFormCDDB& form) {
            form.ActWeiterExecute();
            ASSERT_EQ(form.CurrentPage(), 3);
            EXPECT_EQ(form.lblNetStatus->text(), LangFmt("freedbPage2TextsCut", {TServerText::MaxValueChars}));
            form.ActWeiterExecute();
            form.ActWeiterExecute();
        },
        generous.Port());
    ASSERT_TRUE(done);
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << Env.Prompt.Errors.join('|').toStdString();
    const QString cut = huge.left(TServerText::MaxValueChars - 1) + QStringLiteral("\u2026");
    EXPECT_EQ(Text(*Entries[0], {"TPE1", "TIT2", "TALB"}), QStringList({cut, cut, "Album"}));
    EXPECT_EQ(Text(*Entries[1], {"TIT2"}), QStringList({"Short"}));
}
