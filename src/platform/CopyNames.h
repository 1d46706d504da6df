#pragma once

#include <QByteArray>

class TFileLayer;

// The name of a copy made into the folder of its original: "Name (2).ext",
// "Name (3).ext", ... (a name that has such a number counts on from it),
// counted in 64 bits, the stem cut at a whole character where the number
// would not fit into a folder entry otherwise; folders keep any dot in their
// name. The first name not taken in the open folder dirFd; empty when every
// number up to the largest is. Any answer but "it exists" ends the search:
// the create that follows meets the same and reports it.
QByteArray FreeCopyName(TFileLayer& layer, int dirFd, const QByteArray& name, bool isFolder);
