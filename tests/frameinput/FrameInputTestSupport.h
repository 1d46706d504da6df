#pragma once

// Shared pieces of the input tests: creating an input the way the main
// window does, building frames, and a prompt that counts beeps.

#include "frameinput/ID3v2Frame.h"
#include "support/RecordingPrompt.h"
#include "tagengine/FrameCodecs.h"

#include <QByteArray>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

template <typename TInput>
std::unique_ptr<TInput> MakeInput(const QString& id, TID3Versions version = ivID3v2_4, int width = 400)
{
    auto input = std::make_unique<TInput>();
    input->Init();
    input->SetFrameID(id);
    input->SetUseID3Version(version);
    input->resize(width, input->height());
    return input;
}

inline TID3Frame TextFrame(const QString& id, const QStringList& strings, const QString& description = {})
{
    TID3Frame frame(id);
    SetTextFrame(frame, description, strings);
    return frame;
}

// An input of the frame ID that was fed one text frame with this value.
template <typename TInput>
std::unique_ptr<TInput> LoadedInput(const QString& id, const QString& value, TID3Versions version = ivID3v2_4)
{
    auto input = MakeInput<TInput>(id, version);
    const TID3Frame frame = TextFrame(id, {value});
    input->AddFrame(&frame);
    return input;
}

// A frame as text; "<none>" for no frame (one that is deleted).
inline QString FrameText(const TID3Frame* frame)
{
    return frame ? GetFrameAsText(*frame) : QStringLiteral("<none>");
}

// What the input would write, as text.
inline QString WrittenText(TID3v2Frame& input)
{
    return FrameText(input.GetFrame());
}

inline TID3Frame CommentFrame(const QString& text, const QString& language = QStringLiteral("eng"),
                              const QString& description = {})
{
    TID3Frame frame(QStringLiteral("COMM"));
    SetCommentFrame(frame, SplitTextLines(text), description, language);
    return frame;
}

inline TID3Frame BodyFrame(const QString& id, const QByteArray& body)
{
    TID3Frame frame(id);
    frame.SetBody(body);
    return frame;
}

// Shows the widget as a window of its own and waits until it is active.
inline bool ShownActive(QWidget* widget)
{
    widget->show();
    return QTest::qWaitForWindowActive(widget);
}

// Types text into a widget key by key; unlike QTest::keyClicks it takes any
// character, not only Latin-1 ones.
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A prompt that only counts beeps; a box or dialog shown fails the test.
class TBeepCounter : public TRecordingPrompt {
public:
    ~TBeepCounter() override
    {
        EXPECT_TRUE(Errors.isEmpty() && Informations.isEmpty() && Questions.isEmpty() && Asked.isEmpty()
                    && Choices.isEmpty() && Modals == 0)
            << "unexpected prompt";
    }
};
