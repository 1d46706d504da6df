#include "export/Spreadsheet.h"

#include "export/XlsxSpreadsheet.h"

namespace {

TSpreadsheetFactory& InstalledFactory()
{
    static TSpreadsheetFactory factory;
    return factory;
}

}

std::unique_ptr<TSpreadsheet> NewSpreadsheet()
{
    const TSpreadsheetFactory& factory = InstalledFactory();
    return factory ? factory() : std::make_unique<TXlsxSpreadsheet>();
}

TSpreadsheetFactory SetSpreadsheetFactory(TSpreadsheetFactory factory)
{
    TSpreadsheetFactory previous = std::move(InstalledFactory());
    InstalledFactory() = std::move(factory);
    return previous;
}
