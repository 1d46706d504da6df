#pragma once

#include "common/LayoutArrays.h"

#include <QString>

// The built-in HTML template, written from the export's choices: the
// columns (IDs the column catalogue does not hold are left out), which of
// them link to the MP3 file (missing flags: no link), an optional group field
// and whether each group gets a page of its own (manyFiles). nested builds
// the group-page template that such a template carries inside itself. Its
// fixed texts are German in every language.
QString BuildDefaultTemplate(const TStringArray& columnIds, const TBoolArray& links, const QString& groupField,
                             bool manyFiles, bool nested);
