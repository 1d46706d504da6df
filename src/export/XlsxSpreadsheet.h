#pragma once

#include "export/Spreadsheet.h"

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

// The spreadsheet as an .xlsx workbook: a new, uniquely named file in the
// temporary folder ("Quillon-XXXXXX.xlsx"), written with libxlsxwriter and
// opened with the desktop's program for such files. Without such a program
// it does not start, and no workbook is made. A workbook that was written
// stays when the program ends (the spreadsheet program may still have it
// open, or the user opens it himself); one that was not is removed.
class TXlsxSpreadsheet : public TSpreadsheet {
public:
    // Longest text of one cell, in UTF-16 units as spreadsheet programs count
    // them; libxlsxwriter refuses stored texts of more characters.
    static constexpr int MaxCellText = 32767;

    TXlsxSpreadsheet() = default;
    ~TXlsxSpreadsheet() override;

    // The MIME type of the workbook files.
    static const QString MimeType;

    // The desktop must have a program for the workbook (it is reached when
    // the workbook is shown).
    bool Start() override;
    QString StartFailure() const override;
    void AddWorkbook() override;
    void SetCell(int row, int column, const QString& text) override;
    void Show(const std::function<void()>& notShown) override;
    QString WorkbookFile() const override { return m_fileName; }

    // A cell's text as the workbook stores it: a literal "_xHHHH_" escaped
    // so that readers do not decode it, cut on a character boundary so that
    // both the text read back and the stored text stay within MaxCellText.
    static QByteArray CellText(const QString& text);

private:
    // Writes the workbook file; throws when that fails.
    void Close();

    QString m_fileName;
    bool m_written = false;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
};
