#include "export/XlsxSpreadsheet.h"

#include "export/ExportError.h"
#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Opener.h"

#include <QDir>
#include <QTemporaryFile>
#include <QUrl>

#include <xlsxwriter.h>

#include <cerrno>

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

// Errors of libxlsxwriter that a failed system call causes.
bool IsFileError(lxw_error error)
{
    return error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
           error == LXW_ERROR_READING_TMPFILE || error == LXW_ERROR_ZIP_FILE_OPERATION;
}

// systemError: errno right after the failed call.
[[noreturn]] void Fail(const QString& what, lxw_error error, int systemError = 0)
{
    QString reason = QString::fromUtf8(lxw_strerror(error));
    if (systemError != 0 && IsFileError(error)) {
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        reason += QStringLiteral(" (%1)").arg(SystemErrorText(systemError));
    }
    throw TExportError(QStringLiteral("%1: %2").arg(what, reason));
}

}

const QString TXlsxSpreadsheet::MimeType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

bool TXlsxSpreadsheet::Start()
{
    return DesktopHasProgramFor(MimeType);
}

QString TXlsxSpreadsheet::StartFailure() const
{
    return LangFmt(QStringLiteral("SpreadsheetNoProgram"), {MimeType});
}

TXlsxSpreadsheet::~TXlsxSpreadsheet()
{
    // Released before Show: nothing is written (a failed export).
    if (m_workbook)
        lxw_workbook_free(m_workbook);
    if (!m_written && !m_fileName.isEmpty())
        QFile::remove(m_fileName);
}

void TXlsxSpreadsheet::AddWorkbook()
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/Quillon-XXXXXX.xlsx"));
    file.setAutoRemove(false);
    if (!file.open())
        throw TExportError(
            QStringLiteral("Can not create a workbook in \"%1\": %2").arg(QDir::tempPath(), file.errorString()));
    m_fileName = file.fileName();
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
        Fail(QStringLiteral("Can not write the cell in row %1, column %2").arg(row).arg(column), error);
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
    errno = 0;
    const lxw_error error = workbook_close(workbook); // frees the workbook too
    const int systemError = errno;
    if (error != LXW_NO_ERROR)
        Fail(QStringLiteral("Can not write the workbook \"%1\"").arg(m_fileName), error, systemError);
    m_written = true;
}

QByteArray TXlsxSpreadsheet::CellText(const QString& text)
{
    static const QString EscapedUnderscore = QStringLiteral("_x005F");
    QString stored;
    stored.reserve(qMin<qsizetype>(text.size(), MaxCellText) + 8);
    qsizetype units = 0;      // of the text a reader gets back
    qsizetype characters = 0; // of the stored text
    for (qsizetype i = 0; i < text.size();) {
        // An underscore that starts an escape sequence is written as one.
        const bool escape = IsEscapeSequenceAt(text, i);
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const qsizetype storedLength = escape ? EscapedUnderscore.size() + 1 : 1;
        if (units + length > MaxCellText || characters + storedLength > MaxCellText)
            break;
        if (escape)
            stored += EscapedUnderscore;
        stored += QStringView(text).mid(i, length);
        units += length;
        characters += storedLength;
        i += length;
    }
    return stored.toUtf8();
}
