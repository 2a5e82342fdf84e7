// The driver's connect strings, and the settings taken from them; what is written
// back must read the same again.
#include "fuzz/fuzz_target.h"
#include "xlsodbc/connect_string.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto cs = qr::xls::ConnectString::parse({reinterpret_cast<const char*>(data), size});
    qr::xls::ConnectOptions options;
    std::string error;
    (void)qr::xls::readConnectOptions(cs, options, error);
    const std::string again = cs.toString();
    if (qr::xls::ConnectString::parse(again).toString() != again)
        std::abort();
    return 0;
}
