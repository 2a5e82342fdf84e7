// A workbook file as a SELECT * reads it: the container, the workbook stream, and
// every sheet as a table, every cell of it read.
#include "fuzz/fuzz_target.h"
#include "xlsodbc/book_file.h"
#include "xlsodbc/sheet_table.h"

#include <numeric>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qr::xls::CompoundNode container;
    qr::xls::Workbook book;
    std::string error;
    if (!qr::xls::parseWorkbookFile({data, size}, container, book, error))
        return 0;
    for (const qr::xls::Sheet& sheet : book.sheets()) {
        for (const bool names : {true, false}) {
            const qr::xls::SheetTable table = qr::xls::describeTable(book, sheet, 0, names);
            std::vector<std::size_t> columns(table.columns.size());
            std::iota(columns.begin(), columns.end(), std::size_t{0});
            std::vector<qr::xls::FieldValue> values;
            qr::xls::readTable(book, sheet, table, columns, values);
        }
        (void)qr::xls::describeHeadings(book, sheet);
    }
    (void)book.serialize();
    return 0;
}
