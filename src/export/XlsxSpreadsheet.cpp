#include "export/XlsxSpreadsheet.h"

#include "export/ExportError.h"
#include "platform/Opener.h"

#include <QDir>
#include <QTemporaryFile>
#include <QUrl>

#include <xlsxwriter.h>

namespace {

bool IsHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// "_x" four hexadecimal digits "_" at position i: what readers of the format
// turn into the character of that code.
bool IsEscapeSequenceAt(const QString& text, qsizetype i)
{
    if (i + 7 > text.size() || text.at(i) != QLatin1Char('_') || text.at(i + 1) != QLatin1Char('x') ||
        text.at(i + 6) != QLatin1Char('_'))
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k)
        if (!IsHexDigit(text.at(k)))
            return false;
    return true;
}

[[noreturn]] void Fail(const char* what, lxw_error error)
{
    throw TExportError(QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(lxw_strerror(error))));
}

}

TXlsxSpreadsheet::~TXlsxSpreadsheet()
{
    // Released before Show: nothing is written (a failed export).
    if (m_workbook)
        lxw_workbook_free(m_workbook);
}

bool TXlsxSpreadsheet::Start()
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/Quillon-XXXXXX.xlsx"));
    file.setAutoRemove(false);
    if (!file.open())
        return false;
    m_fileName = file.fileName();
    return true;
}

void TXlsxSpreadsheet::AddWorkbook()
{
    if (m_fileName.isEmpty())
        throw TExportError(QStringLiteral("The spreadsheet was not started."));
    m_workbook = workbook_new(QFile::encodeName(m_fileName).constData());
    m_sheet = m_workbook ? workbook_add_worksheet(m_workbook, nullptr) : nullptr;
    if (!m_sheet)
        throw TExportError(QStringLiteral("Can not create the workbook \"%1\".").arg(m_fileName));
}

void TXlsxSpreadsheet::SetCell(int row, int column, const QString& text)
{
    if (!m_sheet)
        throw TExportError(QStringLiteral("The spreadsheet has no workbook."));
    const lxw_error error = worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row - 1),
                                                   static_cast<lxw_col_t>(column - 1), CellText(text).constData(),
                                                   nullptr);
    if (error != LXW_NO_ERROR)
        Fail("Can not write a cell", error);
}

void TXlsxSpreadsheet::Show(const std::function<void()>& notShown)
{
    Close();
    OpenWithDesktop(QUrl::fromLocalFile(m_fileName), notShown);
}

void TXlsxSpreadsheet::Close()
{
    if (!m_workbook)
        throw TExportError(QStringLiteral("The spreadsheet has no workbook."));
    lxw_workbook* workbook = m_workbook;
    m_workbook = nullptr;
    m_sheet = nullptr;
    const lxw_error error = workbook_close(workbook); // frees the workbook too
    if (error != LXW_NO_ERROR)
        Fail("Can not write the workbook", error);
}

QByteArray TXlsxSpreadsheet::CellText(const QString& text)
{
    static const QString EscapedUnderscore = QStringLiteral("_x005F");
    QString stored;
    stored.reserve(qMin<qsizetype>(text.size(), MaxCellText) + 8);
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size();) {
        // An underscore that starts an escape sequence is written as one.
        const bool escape = IsEscapeSequenceAt(text, i);
        const bool pair = !escape && text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                          text.at(i + 1).isLowSurrogate();
        const qsizetype needed = escape ? EscapedUnderscore.size() + 1 : 1;
        if (characters + needed > MaxCellText)
            break;
        if (escape)
            stored += EscapedUnderscore;
        stored += QStringView(text).mid(i, pair ? 2 : 1);
        characters += needed;
        i += pair ? 2 : 1;
    }
    return stored.toUtf8();
}
