#pragma once

// What the tests of the input pages and the edit cycle share: generated MP3
// files with any frames, a window opened at a folder, selecting rows as the
// user does, typing into inputs and reading files back.

#include "support/gui/MainWindowTestSupport.h"

#include "support/ID3v2Builder.h"

#include "controls/MyListView.h"
#include "frameinput/ID3v2Frame.h"
#include "frameinput/ID3v2FrameComment.h"
#include "frameinput/ID3v2FrameEdit.h"
#include "mainwindow/FQuillon.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Reader.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

// A file with these frames (ID and body) in an ID3v2 tag of the version,
// eight audio frames and the ID3v1 block when one is given.
inline bool WriteMp3WithFrames(const QString& path, const TFrameBodies& frames,
                               const std::optional<ID3v1Fields>& id3v1 = std::nullopt, quint8 major = 3)
{
    return Mp3Builder::WriteFile(path, Mp3WithFrames(frames, id3v1, major));
}

inline QByteArray Text(const QString& text)
{
    return ID3v2Builder::TextBody(0, {text});
}

inline QByteArray Comment(const QString& description, const QString& text, const QByteArray& language = "eng")
{
    return ID3v2Builder::CommentBody(0, language, description, text);
}

// A window whose first load shows the folder.
inline std::unique_ptr<TFQuillon> OpenWindowAt(const QString& folder)
{
    auto window = std::make_unique<TFQuillon>(QStringList());
    window->SetTreePath(folder);
    window->FormShow();
    return window;
}

// Types text key by key, as the user does (QTest::keyClicks takes Latin-1
// only).
inline void TypeKeys(QWidget* control, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A click behind the text a control shows, then the events that follow it.
inline void ClickBehindText(QWidget* control)
{
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(control->width() - 5, control->height() / 2));
    QCoreApplication::processEvents();
}

// A folder "files" of generated MP3 files and the window opened at it.
class TFilesWindowFixture {
protected:
    QString Path(const QString& name) const { return Env.PathOf(QStringLiteral("files/") + name); }

    // Files "0.mp3".. with these titles.
    void WriteTitles(const QStringList& titles)
    {
        for (qsizetype i = 0; i < titles.size(); ++i)
            ASSERT_TRUE(WriteMp3WithFrames(Path(QStringLiteral("%1.mp3").arg(i)), {{"TIT2", Text(titles.at(i))}}));
    }

    std::unique_ptr<TFQuillon> Open()
    {
        auto window = OpenWindowAt(Env.PathOf(QStringLiteral("files")));
        EXPECT_FALSE(window->Entries().empty());
        return window;
    }

    // The window shown and active, as typing, clicks and keys need it.
    std::unique_ptr<TFQuillon> OpenActive()
    {
        auto window = Open();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    TMainWindowEnvironment Env;
};

// Selects exactly these rows of the file list, as a click would.
inline void SelectListRows(TFQuillon& window, std::initializer_list<int> rows)
{
    QItemSelectionModel* model = window.LVFiles->selectionModel();
    QItemSelection selection;
    for (int row : rows) {
        const QModelIndex index = window.LVFiles->model()->index(row, 0);
        selection.select(index, index);
    }
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// The selected rows of the file list, in order.
inline QList<int> SelectedListRows(TFQuillon& window)
{
    QList<int> rows;
    for (const QModelIndex& index : window.LVFiles->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The n-th input of the input list for the frame ID; nullptr when none.
inline TID3v2Frame* InputOf(const TFQuillon& window, const QString& id, int n = 0)
{
    for (TID3v2Frame* input : window.PageInputs())
        if (input->FrameID() == id && n-- == 0)
            return input;
    return nullptr;
}

inline int InputCount(const TFQuillon& window, const QString& id)
{
    const auto& inputs = window.PageInputs();
    return int(std::count_if(inputs.begin(), inputs.end(), [&](const TID3v2Frame* input) { return input->FrameID() == id; }));
}

// The text control of a text or comment input.
inline QWidget* TextControlOf(TID3v2Frame* input)
{
    if (auto* edit = qobject_cast<TID3v2FrameEdit*>(input))
        return edit->Edit();
    if (auto* comment = qobject_cast<TID3v2FrameComment*>(input))
        return comment->Memo();
    return nullptr;
}

// Replaces the text of a text or comment input by typing, as the user does.
inline void TypeInto(TID3v2Frame* input, const QString& text)
{
    QWidget* control = TextControlOf(input);
    ASSERT_NE(control, nullptr);
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_Delete);
    TypeKeys(control, text);
}

inline QString ShownText(TID3v2Frame* input)
{
    if (auto* edit = qobject_cast<TID3v2FrameEdit*>(input))
        return edit->Edit()->text();
    if (auto* comment = qobject_cast<TID3v2FrameComment*>(input))
        return comment->MemoText();
    return {};
}

// The frames of a file as our reader reads them.
inline TID3FrameList ReadFramesOf(const QString& path)
{
    TID3v2Reader reader;
    reader.FileName = path;
    EXPECT_TRUE(reader.ReadTags()) << path.toStdString();
    return reader.TakeFrames();
}

inline int CountFrames(const TID3FrameList& frames, const QString& id)
{
    return int(std::count_if(frames.begin(), frames.end(), [&](const auto& frame) { return frame->FrameID == id; }));
}

// The first string of the first frame with the ID; nothing when none.
inline std::optional<QString> FrameText(const TID3FrameList& frames, const QString& id)
{
    const TID3Frame* frame = FindFrame(frames, id);
    if (!frame)
        return std::nullopt;
    return GetFirstText(frame->Body());
}

// The pages as "title:ID,ID..." lines.
inline QStringList PagesText(const TEingabeSeiten& pages)
{
    QStringList lines;
    for (int i = 0; i < pages.Count(); ++i)
        lines << pages.Items(i).Title + QLatin1Char(':') + pages.Items(i).FrameIDs.join(QLatin1Char(','));
    return lines;
}

// The file's last-write time in nanoseconds.
inline qint64 ModifiedNs(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Sets the file's last-write time (nanoseconds since the epoch).
inline bool SetModifiedNs(const QString& path, qint64 ns)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
