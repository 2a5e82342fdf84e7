#include "forms/registry/property_values.h"

#include "forms/registry/component_kind.h"
#include "runtime/to_byte_set.h"
#include "runtime/to_number.h"
#include "runtime/to_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qr::forms {
namespace {

using runtime::Kind;
using runtime::Value;

std::int32_t toInt32(const Value& value)
{
    if (value.isInteger()) {
        const std::int64_t v = value.numericAsInt64();
        // Wider integers keep their low 32 bits, as a 32-bit property receives them.
        return std::int32_t(std::uint32_t(std::uint64_t(v)));
    }
    if (value.kind() == Kind::Logical)
        return value.asLogical() ? 1 : 0;
    const double d = runtime::toNumber(value);
    if (std::isnan(d))
        return 0;
    return std::int32_t(std::clamp(std::trunc(d), double(std::numeric_limits<std::int32_t>::min()),
                                   double(std::numeric_limits<std::int32_t>::max())));
}

bool toLogical(const Value& value)
{
    switch (value.kind()) {
    case Kind::Logical: return value.asLogical();
    case Kind::Text: return runtime::toNumber(value) != 0.0 || value.asText() == "真";
    case Kind::ByteSet: return !value.asByteSet().empty();
    case Kind::None: return false;
    default: return runtime::toNumber(value) != 0.0;
    }
}

// A written font replaces the whole record; a face name that fills all 32 bytes
// (no terminator) is not a name and becomes 宋体. Anything but 60 bytes is no font.
runtime::ByteSet normaliseFont(const runtime::ByteSet& bytes)
{
    std::optional<LogFont> font = decodeLogFont(bytes.data(), bytes.size());
    if (!font)
        return {};
    if (font->faceName.size() >= 32)
        font->faceName = "宋体";
    const Bytes encoded = encodeLogFont(*font);
    return runtime::ByteSet(encoded.begin(), encoded.end());
}

} // namespace

Value toPropertyValue(std::int16_t type, const Value& value)
{
    namespace t = property_type;
    switch (type) {
    case t::kInteger:
    case t::kInteger2:
    case t::kColour:
    case t::kColour2:
    case t::kBackgroundColour: return Value::integer(toInt32(value));
    case t::kChoice: return Value::integer(std::max(toInt32(value), 0));
    case t::kLogical: return Value::logical(toLogical(value));
    case t::kEightByte: return Value::doubleFloat(runtime::toNumber(value));
    case t::kEightByte2:
        return value.isInteger() ? Value::longInt(value.numericAsInt64())
                                 : Value::longInt(std::int64_t(runtime::toNumber(value)));
    case t::kText:
    case t::kFileName:
    case t::kKindText:
    case t::kKindText2: return Value::text(runtime::toText(value));
    case t::kFont: return Value::byteSet(normaliseFont(runtime::toByteSet(value)));
    case t::kPicture:
    case t::kIcon:
    case t::kMousePointer:
    case t::kSound:
    case t::kKindData:
    case t::kKindData2: return Value::byteSet(runtime::toByteSet(value));
    default: return value;
    }
}

std::int32_t clampGeometry(int property, const Value& value)
{
    constexpr std::int32_t kLimit = 32627; // 0x7F73
    const std::int32_t v = toInt32(value);
    if (property <= 1)
        return std::clamp(v, -kLimit, kLimit);
    return std::clamp(v, 0, kLimit);
}

} // namespace qr::forms
