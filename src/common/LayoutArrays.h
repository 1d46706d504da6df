#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The arrays in which layouts travel between the main window, the export
// dialog and the layout dialogs. Element order is meaningful everywhere.

// Four-character column IDs or tool-button codes ("----" is a separator).
using TStringArray = QStringList;
// Column widths in pixels, one per column.
using TWordArray = QList<quint16>;
// One tick per column (the export's link flags).
using TBoolArray = QList<bool>;
