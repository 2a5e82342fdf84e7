// The driver's SQL statements.
#include "fuzz/fuzz_target.h"
#include "xlsodbc/sql.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qr::xls::SqlStatement statement;
    std::string error;
    (void)qr::xls::parseSql({reinterpret_cast<const char*>(data), size}, statement, error);
    return 0;
}
