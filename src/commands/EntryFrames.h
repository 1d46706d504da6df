#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class TEintragdaten;

// One text frame of an entry, as the batch commands read and set it.

// The strings of the entry's first frame of the ID; none without such a
// frame.
std::optional<QStringList> FirstFrameStrings(const TEintragdaten& entry, const QString& id);

// Gives the entry a text frame of the ID holding just this text (replacing
// its first frame of the ID, the entry marked changed); false, and nothing
// changed, when the frame holds just this text already.
bool SetSingleTextFrame(TEintragdaten& entry, const QString& id, const QString& text);
