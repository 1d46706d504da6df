#pragma once

#include "tagengine/Eintragdaten.h"

#include <QtGlobal>

#include <unordered_map>
#include <vector>

// What applying an input's edit replaced in the entries: each entry's frame
// of the input (or none) and whether the entry was changed before. An edit
// the user takes back whole in its field is taken back from the entries
// too, so that nothing is written for it.
class TAppliedEdits {
public:
    // Keeps what the input's edit is about to replace in the edited entries;
    // only the first time until Clear (the edited entries stay the same
    // until the inputs are loaded again).
    void Remember(quint32 input, const TEintragdatenList& entries);
    bool Contains(quint32 input) const { return m_originals.count(input) != 0; }
    // Puts back what the input's edit replaced (frames carry the input's
    // identity). An entry that only this input changed is unchanged again.
    void TakeBack(quint32 input);
    // Forgets everything: the inputs were loaded again or the entries went.
    void Clear() { m_originals.clear(); }

private:
    struct TOriginal {
        TEintragdaten* Entry = nullptr;
        TID3FramePtr Frame; // nullptr: the entry had no frame of the input
        size_t Position = 0;
        bool WasChanged = false;
    };
    std::unordered_map<quint32, std::vector<TOriginal>> m_originals;
};
