#pragma once

#include <QString>

#include <functional>
#include <memory>

// The spreadsheet program the spreadsheet export fills, in the order the
// export calls it: Start, AddWorkbook, SetCell for every cell, Show; then it
// is released. Failures other than those reported by the results throw.
class TSpreadsheet {
public:
    virtual ~TSpreadsheet() = default;

    // Reaches the spreadsheet program; false when it cannot be started.
    virtual bool Start() = 0;
    // Why Start failed, when more is known than that it did.
    virtual QString StartFailure() const { return {}; }
    // A new, empty workbook to fill.
    virtual void AddWorkbook() = 0;
    // Puts text into a cell of the workbook's first sheet as text (never as
    // a number or formula); row and column count from 1.
    virtual void SetCell(int row, int column, const QString& text) = 0;
    // Shows the filled workbook to the user. When nothing can show it,
    // notShown is called, at once or later from the event loop, when this
    // object and the export may be gone.
    virtual void Show(const std::function<void()>& notShown) = 0;
    // The file the workbook is written to (after AddWorkbook), for the user
    // to open himself when it cannot be shown; empty when there is none.
    virtual QString WorkbookFile() const { return {}; }
};

using TSpreadsheetFactory = std::function<std::unique_ptr<TSpreadsheet>()>;

// A new spreadsheet of the installed kind (the workbook file opened with the
// desktop's program unless a test installed another).
std::unique_ptr<TSpreadsheet> NewSpreadsheet();
// Installs a factory (empty: the workbook file) and returns the previous one.
TSpreadsheetFactory SetSpreadsheetFactory(TSpreadsheetFactory factory);
