#pragma once

#include "tagengine/Eintragdaten.h"

#include <QString>

// Local date and time of a file time in the locale's short formats.
QString FileDateToText(qint64 lastWriteNs);
// h:mm:ss from one hour on, else m:ss.
QString DurationToText(qint64 milliseconds);
// One line of text for a frame, as lists, search, file names and ID3v1 use it.
QString GetFrameDisplayText(const TID3Frame* frame);
// The text of one file-list column ("*FIN", "*SIZ", ... or a frame ID).
QString GetColumnText(const TEintragdaten& entry, const QString& columnId);
