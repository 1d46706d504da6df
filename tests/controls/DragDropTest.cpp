#include "controls/DropSource.h"
#include "controls/DropTarget.h"
#include "controls/FileMimeData.h"

#include "support/gui/DropEvents.h"

#include "support/NativeFiles.h"
#include "support/RunProgram.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardItemModel>
#include <QSysInfo>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QMimeData* UriData(const QByteArray& uris)
{
    auto* data = new QMimeData;
    data->setData("text/uri-list", uris);
    return data;
}

std::unique_ptr<QStandardItemModel> Rows(int count)
{
    auto model = std::make_unique<QStandardItemModel>(count, 1);
    for (int row = 0; row < count; ++row)
        model->setItem(row, 0, new QStandardItem(QString::number(row)));
    return model;
}

}

TEST(FileMimeData, ReadsUriListsFromAnyProgram)
{
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    // CRLF and LF, comments, this machine under three names, another host,
    // a web address, and bytes that are no UTF-8.
    const QByteArray uris = "# dragged from a file manager\r\n"
                            "file:///music/a%2541%20b.mp3\r\n"
                            "file://localhost/music/%CE%B1.mp3\n"
                            "file://" + host + "/music/caf%E9.mp3\n"
                            "file://elsewhere/music/remote.mp3\n"
                            "https://example.org/x.mp3\n"
                            "file:/music/single-slash.mp3\n"
                            "\n";
    std::unique_ptr<QMimeData> data(UriData(uris));
    EXPECT_EQ(FileMimeData::FilesOf(*data),
              QList<QByteArray>({"/music/a%41 b.mp3", "/music/\xce\xb1.mp3", "/music/caf\xe9.mp3",
                                 "/music/single-slash.mp3"}));
    EXPECT_FALSE(FileMimeData::IsCut(*data));

    std::unique_ptr<QMimeData> remoteOnly(UriData("file://elsewhere/x.mp3\r\n"));
    EXPECT_FALSE(FileMimeData::HasFiles(*remoteOnly));

    // GNOME Files 3.x puts a text/plain form on the clipboard.
    QMimeData nautilus;
    nautilus.setData("text/plain", "x-special/nautilus-clipboard\ncut\nfile:///music/a.mp3\nfile:///music/b.mp3\n");
    EXPECT_EQ(FileMimeData::FilesOf(nautilus), QList<QByteArray>({"/music/a.mp3", "/music/b.mp3"}));
    EXPECT_TRUE(FileMimeData::IsCut(nautilus));
    QMimeData plainText;
    plainText.setData("text/plain", "just some text\n");
    EXPECT_FALSE(FileMimeData::HasFiles(plainText));
}

TEST(FileMimeData, ClipboardRoundTripsWithBothCutMarkers)
{
    const QList<QByteArray> files{"/music/a b.mp3", "/music/caf\xe9.mp3"};
    TDropFileSource source;
    source.Files = files;
    TDropFileTarget target;
    for (bool cut : {false, true}) {
        ASSERT_TRUE(cut ? source.CutToClipboard() : source.CopyToClipboard());
        EXPECT_EQ(source.CurrentEffect(), cut ? DropEffectMove : DropEffectCopy);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->data("text/uri-list"), "file:///music/a%20b.mp3\r\nfile:///music/caf%E9.mp3\r\n");
        EXPECT_EQ(data->data("x-special/gnome-copied-files"),
                  QByteArray(cut ? "cut" : "copy") + "\nfile:///music/a%20b.mp3\nfile:///music/caf%E9.mp3");
        EXPECT_EQ(data->data("application/x-kde-cutselection"), cut ? "1" : "0");
        EXPECT_EQ(target.PasteFromClipboard(), cut ? DropEffectMove : DropEffectCopy);
        EXPECT_EQ(target.Files(), files);

        // What the other desktop's file manager reads: GNOME's format alone,
        // and KDE's marker beside a plain list.
        auto* gnome = new QMimeData;
        gnome->setData("x-special/gnome-copied-files", data->data("x-special/gnome-copied-files"));
        QGuiApplication::clipboard()->setMimeData(gnome);
        EXPECT_EQ(target.PasteFromClipboard(), cut ? DropEffectMove : DropEffectCopy);
        EXPECT_EQ(target.Files(), files);
        auto* kde = UriData("file:///music/a%20b.mp3\n");
        kde->setData("application/x-kde-cutselection", cut ? "1" : "0");
        QGuiApplication::clipboard()->setMimeData(kde);
        EXPECT_EQ(target.PasteFromClipboard(), cut ? DropEffectMove : DropEffectCopy);
    }
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(target.PasteFromClipboard(), DropEffectNone);
    EXPECT_TRUE(target.Files().isEmpty());
}

TEST(FileMimeData, GioFindsTheDraggedFileOfEveryUri)
{
    TNativeTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    QList<QByteArray> files;
    for (const QByteArray& name : {QByteArray("a%41 b.mp3"), QByteArray("\xce\x95\xce\xbb #1?.mp3"),
                                   QByteArray("caf\xe9.mp3"), QByteArray("[x]&;'.mp3")}) {
        files << folder + "/" + name;
        ASSERT_TRUE(WriteNativeFile(files.last(), {}));
    }
    std::unique_ptr<QMimeData> data(FileMimeData::NewDragData(files));
    const QList<QByteArray> lines = data->data("text/uri-list").split('\n');
    ASSERT_EQ(lines.size(), files.size() + 1);
    EXPECT_EQ(data->data("text/plain"), files.join('\n') + '\n');
    for (int i = 0; i < files.size(); ++i) {
        ASSERT_TRUE(lines[i].endsWith('\r'));
        const TProgramRun gio = RunProgram("/usr/bin/gio", {"info", QString::fromLatin1(lines[i].chopped(1))}, 20000);
        EXPECT_EQ(gio.ExitCode, 0) << lines[i].constData() << " (gio comes with libglib2.0-bin)";
        EXPECT_TRUE(gio.Out.contains("\nlocal path: " + files[i] + "\n")) << lines[i].constData();
    }
}

TEST(DropTarget, ChoosesTheEffectByKeysAllowedKindsAndScrollBand)
{
    QTreeView view;
    auto model = Rows(200);
    view.setModel(model.get());
    view.resize(200, 150);
    QFont font = view.font();
    font.setPixelSize(11);
    view.setFont(font);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    TDropFileTarget target;
    target.Dragtypes = DragTypeBit(dtCopy) | DragTypeBit(dtMove);
    target.GetDataOnEnter = true;
    target.Register(&view);
    std::unique_ptr<QMimeData> data(UriData("file:///music/a.mp3\r\n"));
    QWidget* viewport = view.viewport();
    const QPoint middle(50, 70);
    const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

    // Link is not taken, so Shift and Ctrl together give copy.
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, all, Qt::ShiftModifier | Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, all, Qt::ShiftModifier), Qt::MoveAction);
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, all, Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, Qt::MoveAction), Qt::MoveAction);
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, Qt::LinkAction), Qt::IgnoreAction);
    EXPECT_EQ(target.Files(), QList<QByteArray>({"/music/a.mp3"}));
    EXPECT_FALSE(target.IsScrolling());

    // Near the edge (the band is the font's height) the list scrolls; a list
    // without scroll bars never does.
    EXPECT_EQ(target.ScrollBand(), 11);
    EXPECT_EQ(DropEvents::Over(viewport, *data, QPoint(50, viewport->height() - 5), all), Qt::CopyAction);
    EXPECT_TRUE(target.IsScrolling());
    DropEvents::Leave(viewport);
    EXPECT_FALSE(target.IsScrolling());
    EXPECT_TRUE(target.Files().isEmpty());
    auto few = Rows(2);
    view.setModel(few.get());
    QTest::qWait(0);
    DropEvents::Over(viewport, *data, QPoint(50, 2), all);
    EXPECT_FALSE(target.IsScrolling());
    DropEvents::Leave(viewport);

    // A handler decides alone; its scroll bit starts the timer when the
    // control can scroll.
    view.setModel(model.get());
    QTest::qWait(0);
    target.OnGetDropEffect = [&](TDropFileTarget&, const TShiftState&, const QPoint&, quint32& effect) {
        EXPECT_EQ(effect, DropEffectCopy | DropEffectMove); // link taken out
        effect = DropEffectMove | DropEffectScroll;
    };
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, all), Qt::MoveAction);
    EXPECT_TRUE(target.IsScrolling());

    // Drops report the effect and the files; data without files is refused.
    QList<QByteArray> dropped;
    target.OnDrop = [&](TDropFileTarget& sender, const TShiftState&, const QPoint&, quint32& effect) {
        dropped = sender.Files();
        EXPECT_EQ(effect, DropEffectMove | DropEffectScroll);
    };
    QDropEvent drop(middle, all, data.get(), Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::MoveAction);
    EXPECT_EQ(dropped, QList<QByteArray>({"/music/a.mp3"}));
    EXPECT_FALSE(target.IsScrolling());
    // An answer the source does not offer refuses the drop: it never becomes
    // the source's own choice (a move).
    target.OnGetDropEffect = nullptr;
    target.OnDrop = [](TDropFileTarget&, const TShiftState&, const QPoint&, quint32& effect) {
        effect = DropEffectCopy;
    };
    DropEvents::Over(viewport, *data, middle, Qt::MoveAction);
    QDropEvent moveOnly(middle, Qt::MoveAction, data.get(), Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted() && moveOnly.dropAction() == Qt::MoveAction);
    // An owner that moves the files itself answers another program's move
    // with a copy, while the drag moves and at the drop, so that the source
    // keeps its files; the events carry the move. A source that offers only
    // a move is refused.
    target.MovesFilesItself = true;
    quint32 dropEffect = DropEffectNone;
    target.OnDrop = [&](TDropFileTarget&, const TShiftState&, const QPoint&, quint32& effect) { dropEffect = effect; };
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, all, Qt::ShiftModifier), Qt::CopyAction);
    EXPECT_EQ(target.ChosenEffect(), DropEffectMove);
    EXPECT_EQ(DropEvents::Drop(viewport, *data, middle, all, Qt::ShiftModifier), Qt::CopyAction);
    EXPECT_EQ(dropEffect, DropEffectMove);
    EXPECT_EQ(DropEvents::Over(viewport, *data, middle, Qt::MoveAction), Qt::IgnoreAction);
    QMimeData text;
    text.setText("no files");
    QDragEnterEvent enter(middle, all, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST(DropSource, RunsTheDragThroughTheRunnerAndReportsTheOutcome)
{
    QWidget widget;
    TDropFileSource source;
    source.Dragtypes = DragTypeBit(dtCopy) | DragTypeBit(dtMove);
    source.Files = {"/music/a b.mp3"};
    QList<TDragType> drops;
    source.OnDrop = [&](TDropFileSource&, TDragType type) { drops << type; };
    Qt::DropAction answer = Qt::MoveAction;
    QByteArray uris;
    const TDragRunner previous =
        SetDragRunner([&](QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred) {
            EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction);
            EXPECT_EQ(preferred, Qt::CopyAction);
            uris = drag.mimeData()->data("text/uri-list");
            return answer;
        });
    EXPECT_EQ(source.Execute(&widget), doMoved);
    EXPECT_EQ(uris, "file:///music/a%20b.mp3\r\n");
    answer = Qt::LinkAction; // not allowed: cancelled
    EXPECT_EQ(source.Execute(&widget), doCancelled);
    answer = Qt::CopyAction;
    EXPECT_EQ(source.Execute(&widget), doCopied);
    EXPECT_EQ(drops, QList<TDragType>({dtMove, dtCopy}));
    SetDragRunner(previous);
}
