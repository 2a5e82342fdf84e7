#include "tools/store_cli/text_number.h"

#include "runtime/to_number.h"

namespace qr::tools {

// The tool converts exactly as the add form does: through the runtime's rules.
std::string normaliseFullWidth(std::string_view gbk) { return runtime::normaliseFullWidth(gbk); }
double textToNumber(std::string_view gbk) { return runtime::toNumber(runtime::Value::text(gbk)); }
float textToFloat(std::string_view gbk) { return runtime::toFloat(runtime::Value::text(gbk)); }

} // namespace qr::tools
