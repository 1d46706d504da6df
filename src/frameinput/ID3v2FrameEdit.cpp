#include "frameinput/ID3v2FrameEdit.h"

#include "tagengine/FrameCodecs.h"

#include <QLineEdit>

#include <limits>

namespace {
constexpr int ID3v1TextLength = 30;
// A frame's text of any length is shown and written whole (lyrics pasted
// into a text frame, a long TXXX value): the edit's own default would cut
// it at 32767 characters.
constexpr int UnlimitedTextLength = std::numeric_limits<int>::max();
// A frame holding several values (two artists of one track) shows them all,
// so that an edit never drops a value the user could not see; the edited
// text is written as one value.
const QString ValueSeparator = QStringLiteral("; ");
}

TID3v2FrameEdit::TID3v2FrameEdit(QWidget* parent) : TID3v2FrameLine(parent) {}

const QStringList& TID3v2FrameEdit::FrameTable()
{
    static const QStringList ids = {
        QStringLiteral("TIT1"), QStringLiteral("TIT2"), QStringLiteral("TIT3"), QStringLiteral("TALB"),
        QStringLiteral("TOAL"), QStringLiteral("TSST"), QStringLiteral("TPE1"), QStringLiteral("TPE2"),
        QStringLiteral("TPE3"), QStringLiteral("TPE4"), QStringLiteral("TOPE"), QStringLiteral("TEXT"),
        QStringLiteral("TOLY"), QStringLiteral("TCOM"), QStringLiteral("TENC"), QStringLiteral("TMOO"),
        QStringLiteral("TPUB"), QStringLiteral("TOWN"), QStringLiteral("TRSN"), QStringLiteral("TRSO"),
        QStringLiteral("TOFN"), QStringLiteral("TSOA"), QStringLiteral("TSOP"), QStringLiteral("TSOT"),
        QStringLiteral("TXXX")};
    return ids;
}

void TID3v2FrameEdit::SetUseID3Version(TID3Versions version)
{
    TID3v2FrameLine::SetUseID3Version(version);
    Edit()->setMaxLength(version == ivID3v1 ? ID3v1TextLength : UnlimitedTextLength);
}

QString TID3v2FrameEdit::DecodeValue(const TID3Frame& frame, QString& description) const
{
    QStringList lines;
    GetTextFrame(frame, description, lines);
    return lines.join(ValueSeparator);
}

void TID3v2FrameEdit::EncodeValue(TID3Frame& frame, const QString& description, const QString& value) const
{
    SetTextFrame(frame, description, QStringList{value});
}
