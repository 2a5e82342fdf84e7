// The store tool's CSV reader; rows written back read the same again.
#include "fuzz/fuzz_target.h"
#include "tools/store_cli/csv.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qr::tools::CsvTable table;
    std::string error;
    if (!qr::tools::parseCsv({reinterpret_cast<const char*>(data), size}, table, error))
        return 0;
    std::string again;
    for (const auto& row : table.rows)
        qr::tools::appendCsvRow(again, row);
    qr::tools::CsvTable reread;
    if (!qr::tools::parseCsv(again, reread, error) || reread.rows != table.rows)
        std::abort();
    return 0;
}
