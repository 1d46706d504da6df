// Speed of the batch commands over 20,000 loaded and selected files: case
// conversion, replacing text in four fields, track numbers, the ID3v1
// transfer and dates from file dates, each in memory with the list refresh
// and the inputs; the same on 5,000 files to show that the cost per file does
// not grow with the count; the save that follows against the tag writer's
// own in-place rate on the same files; and a second conversion of files
// already in case, which must write none.
//
//   bench_batch [folder]   (default: a temporary folder, removed after)

#include "BenchSupport.h"
#include "SilentPrompt.h"
#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"

#include "controls/MyListView.h"
#include "controls/UpDownEdit.h"
#include "frameinput/ID3v2FrameDateTime.h"
#include "localisation/LanguageLoader.h"
#include "mainwindow/FQuillon.h"
#include "dialogs/FormID3v1ToID3v2.h"
#include "dialogs/FormReplaceInfos.h"
#include "dialogs/FormTrackNr.h"
#include "platform/Registry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <functional>

namespace {

using bench::Text;
using bench::TimedMs;

constexpr int FileCount = 20000;
constexpr int SmallCount = 5000;

// Lower-case texts (every file changes case), a track, a date and an ID3v1
// block whose artist differs from the tag's.
QByteArray MakeFile(int index, const QByteArray& audio)
{
    const QByteArray number = QByteArray::number(index);
    ID3v2Builder tag(3);
    tag.Frame("TIT2", Text(QStringLiteral("song title number ") + QString::number(index)))
        .Frame("TPE1", Text(QStringLiteral("the artist ") + QString::number(index % 97)))
        .Frame("TALB", Text(QStringLiteral("an album ") + QString::number(index % 31)))
        .Frame("TRCK", Text(QString::number(index % 100 + 1)))
        .Frame("TYER", Text(QStringLiteral("2004")))
        .Frame("COMM", ID3v2Builder::CommentBody(0, "eng", QString(), QStringLiteral("a comment ") + number));
    Mp3FileParts parts;
    parts.LeadingTag = tag.Padding(512).Build();
    parts.Audio = audio;
    parts.ID3v1 = Mp3Builder::ID3v1({"song title number " + number, "ID3v1 artist", "an album", "2004", "", 1, 17});
    return Mp3Builder::File(parts);
}

void MakeFolder(const QString& root)
{
    const QByteArray audio = Mp3Builder::CbrFrames(MpegFormat(), 20);
    QDir().mkpath(root);
    for (int i = 0; i < FileCount; ++i)
        Mp3Builder::WriteFile(root + QStringLiteral("/song%1.mp3").arg(i, 5, 10, QLatin1Char('0')), MakeFile(i, audio));
}

// Answers every modal dialog through a handler that may set its inputs and
// press OK.
class TDialogPrompt : public bench::TSilentPrompt {
public:
    std::function<void(QDialog&)> Answer;
    int RunModal(QDialog& dialog) override
    {
        if (!Answer)
            return QDialog::Rejected;
        Answer(dialog);
        return dialog.result();
    }
};

void Click(QDialog& dialog, const char* button)
{
    if (auto* ok = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button)))
        ok->click();
}

int ChangedCount(TFQuillon& window)
{
    int count = 0;
    for (const auto& entry : window.Entries())
        count += entry->Changed ? 1 : 0;
    return count;
}

// Drops the unsaved edits (one undo step) without timing it.
void Discard(TFQuillon& window)
{
    if (window.GetUndoKind() == TFQuillon::ukUnsavedEntries)
        window.ActUndoExecute();
}

struct TCommand {
    const char* Name;
    std::function<void(TFQuillon&, TDialogPrompt&)> Run;
};

void Trigger(TFQuillon& window, const char* action)
{
    window.Action(QString::fromLatin1(action))->trigger();
}

const TCommand Commands[] = {
    {"Case conversion (words)",
     [](TFQuillon& window, TDialogPrompt&) { Trigger(window, "ActGrossKleinAuto"); }},
    {"Replace in four fields",
     [](TFQuillon& window, TDialogPrompt& prompt) {
         prompt.Answer = [](QDialog& dialog) {
             auto& form = static_cast<TFormReplaceInfos&>(dialog);
             form.SearchBox()->setEditText(QStringLiteral("a"));
             form.ReplaceBox()->setEditText(QStringLiteral("A"));
             for (int row = 0; row < form.FieldList()->count(); ++row) {
                 const QString id = form.FieldList()->item(row)->data(Qt::UserRole).toString();
                 const bool chosen = QStringList{"TIT2", "TPE1", "TALB", "COMM"}.contains(id);
                 form.FieldList()->item(row)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
             }
             Click(dialog, "butOK");
         };
         Trigger(window, "ActReplaceInFrames");
     }},
    {"Track numbers (with total)",
     [](TFQuillon& window, TDialogPrompt& prompt) {
         prompt.Answer = [](QDialog& dialog) {
             auto& form = static_cast<TFormTrackNr&>(dialog);
             form.NumberingBox()->setCurrentIndex(0);
             form.TotalBox()->setCurrentIndex(1);
             form.StartEdit()->SetPosition(1);
             Click(dialog, "Button2");
         };
         Trigger(window, "ActAutoTrackNo");
     }},
    {"ID3v1 transfer",
     [](TFQuillon& window, TDialogPrompt& prompt) {
         prompt.Answer = [](QDialog& dialog) { Click(dialog, "Button1"); };
         Trigger(window, "ActID3v2ToID3v1");
     }},
    {"Dates from file dates",
     [](TFQuillon& window, TDialogPrompt&) {
         for (TID3v2Frame* input : window.PageInputs())
             if (auto* date = qobject_cast<TID3v2FrameDateTime*>(input); date && date->FrameID() == "TDRC")
                 date->DatePicker()->setFocus();
         window.UpdateActions();
         Trigger(window, "ActDateFromFileDate");
     }},
};

// The tag writer alone writing each file's own tag back in place, in ms.
double WriterMs(const QStringList& paths)
{
    std::vector<TID3FrameList> frames;
    frames.reserve(static_cast<size_t>(paths.size()));
    TID3v2Reader reader;
    reader.WriteID3Version = wivID3v2_3;
    for (const QString& path : paths) {
        reader.FileName = path;
        reader.ReadTags();
        frames.push_back(reader.TakeFrames());
    }
    return TimedMs([&] {
        for (qsizetype i = 0; i < paths.size(); ++i) {
            reader.FileName = paths.at(i);
            reader.WriteTags(frames[static_cast<size_t>(i)]);
        }
    });
}

void SelectRows(TFQuillon& window, int first, int count)
{
    QItemSelectionModel* selection = window.LVFiles->selectionModel();
    QAbstractItemModel* model = window.LVFiles->model();
    selection->select(QItemSelection(model->index(first, 0), model->index(first + count - 1, model->columnCount() - 1)),
                      QItemSelectionModel::ClearAndSelect);
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TDialogPrompt prompt;
    QTemporaryDir settings;
    TRegistry::SetStorageFolder(settings.path());
    LoadBaseLanguage();

    QTemporaryDir temporary;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    // Written anew each run: a save changes them.
    std::printf("Generating %d files in %s ...\n", FileCount, qPrintable(root));
    MakeFolder(root);
    QStringList paths;
    for (const QString& name : QDir(root).entryList({QStringLiteral("*.mp3")}, QDir::Files, QDir::Name))
        paths << root + QLatin1Char('/') + name;

    TFQuillon window({});
    window.resize(1200, 800);
    window.SetTreePath(root);
    window.show();
    window.FormShow(); // loads the tree's folder
    std::printf("Loaded %zu files\n", window.Entries().size());

    std::printf("%-28s %10s %10s %14s %14s\n", "In memory", "20,000 ms", "5,000 ms", "us/file 20k", "us/file 5k");
    for (const TCommand& command : Commands) {
        double ms[2] = {};
        const int counts[2] = {FileCount, SmallCount};
        for (int run = 0; run < 2; ++run) {
            SelectRows(window, 0, counts[run]);
            ms[run] = TimedMs([&] { command.Run(window, prompt); });
            if (ChangedCount(window) == 0)
                std::printf("  (%s changed nothing)\n", command.Name);
            Discard(window);
            prompt.Answer = nullptr;
        }
        std::printf("%-28s %10.0f %10.0f %14.1f %14.1f\n", command.Name, ms[0], ms[1], 1000 * ms[0] / FileCount,
                    1000 * ms[1] / SmallCount);
    }

    // The save that follows a conversion against the writer alone, taken
    // turn about on tenths of the files so that the disk's changing pace
    // (other programs use it too) weighs on both alike.
    double writerMs = 0;
    double saveMs = 0;
    int saved = 0;
    constexpr int Part = FileCount / 10;
    for (int first = 0; first < FileCount; first += Part) {
        writerMs += WriterMs(paths.mid(first, Part));
        SelectRows(window, first, Part);
        Trigger(window, "ActGrossKleinAuto");
        saved += ChangedCount(window);
        saveMs += TimedMs([&] { window.SaveChangedEntries(); });
    }
    const double saveRate = saved / (saveMs / 1000);
    const double writerRate = FileCount / (writerMs / 1000);
    std::printf("Save of %d converted files: %.0f files/s; tag writer alone: %.0f files/s (%.0f %%)\n", saved,
                saveRate, writerRate, 100 * saveRate / writerRate);
    SelectRows(window, 0, FileCount);

    // What the save does besides writing: reading each file back and letting
    // events run after each.
    const double readBackMs = TimedMs([&] {
        for (const auto& entry : window.Entries())
            window.ReadEntry(*entry);
    });
    const double eventsMs = TimedMs([&] {
        for (int i = 0; i < FileCount; ++i)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    std::printf("Reading every file back: %.1f us/file; letting events run: %.1f us/file\n",
                1000 * readBackMs / FileCount, 1000 * eventsMs / FileCount);

    const int journal = window.UndoList().Count();
    const double againMs = TimedMs([&] { Trigger(window, "ActGrossKleinAuto"); });
    const int changedAgain = ChangedCount(window);
    window.SaveChangedEntries();
    std::printf("Converting files already in case: %.0f ms, %d changed, %d written\n", againMs, changedAgain,
                window.UndoList().Count() - journal);
    TRegistry::SetStorageFolder(QString());
    return 0;
}
