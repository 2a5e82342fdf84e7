// config.ini: the class name read, and written back over whatever the file holds.
#include "fuzz/fuzz_target.h"
#include "runtime/profile_text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace profile = qr::runtime::profile;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    (void)profile::lookup(content, "学校班级", "date");
    const auto written = profile::edit(content, "学校班级", "date", "Tarnfield初中2017级1班");
    // A write that succeeds is read back as written.
    if (written &&
        profile::lookup(*written, "学校班级", "date") != std::optional<qr::runtime::Text>("Tarnfield初中2017级1班"))
        std::abort();
    (void)profile::edit(content, "学校班级", std::nullopt, std::nullopt);
    return 0;
}
