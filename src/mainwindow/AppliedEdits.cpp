#include "mainwindow/AppliedEdits.h"

#include <algorithm>
#include <unordered_set>

void TAppliedEdits::Remember(quint32 input, const TEintragdatenList& entries)
{
    if (Contains(input))
        return;
    std::vector<TOriginal>& originals = m_originals[input];
    for (const TEintragdatenPtr& entry : entries) {
        if (!entry->Edited)
            continue;
        TOriginal original;
        original.Entry = entry.get();
        original.WasChanged = entry->Changed != 0;
        original.Position = entry->Frames.size();
        for (size_t i = 0; i < entry->Frames.size(); ++i) {
            if (entry->Frames[i]->UniqueNumber != input)
                continue;
            original.Frame = std::make_unique<TID3Frame>();
            original.Frame->AssignFrame(*entry->Frames[i], true);
            original.Position = i;
            break;
        }
        originals.push_back(std::move(original));
    }
}

void TAppliedEdits::TakeBack(quint32 input)
{
    const auto found = m_originals.find(input);
    if (found == m_originals.end())
        return;
    std::vector<TOriginal> originals = std::move(found->second);
    m_originals.erase(found);
    // Entries another input's edit changed keep their changed flag.
    std::unordered_set<const TEintragdaten*> editedByOthers;
    for (const auto& [other, records] : m_originals)
        for (const TOriginal& record : records)
            editedByOthers.insert(record.Entry);
    for (TOriginal& original : originals) {
        TID3FrameList& frames = original.Entry->Frames;
        const auto carried = std::find_if(frames.begin(), frames.end(),
                                          [input](const TID3FramePtr& f) { return f->UniqueNumber == input; });
        if (carried != frames.end())
            frames.erase(carried);
        if (original.Frame) {
            original.Frame->UniqueNumber = input;
            const size_t at = std::min(original.Position, frames.size());
            frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(at), std::move(original.Frame));
        }
        if (!original.WasChanged && !editedByOthers.count(original.Entry))
            original.Entry->Changed = 0;
    }
}
