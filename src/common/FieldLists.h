#pragma once

#include "common/LayoutArrays.h"

// Fixed lists of frame and column IDs that commands and dialogs offer, each
// in the order it is shown or applied.

// The frames whose text the case conversion changes (4 IDs).
const TStringArray& CaseConversionFrames();
// The fields of the main window's search box, after "all fields" (16 IDs).
const TStringArray& SearchFields();
// The grouping fields of the export dialog (16 IDs, the search fields'
// list kept apart so that either can change alone).
const TStringArray& ExportGroupFields();
// The fields offered by the replace dialog (15 IDs).
const TStringArray& ReplaceFields();
