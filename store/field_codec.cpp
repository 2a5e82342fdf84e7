#include "store/field_codec.h"

#include "store/formats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qr::store {

using runtime::Kind;

namespace {

constexpr double kMinDateTime = -657434.0; // 1 January 100
constexpr double kMaxDateTime = 2958465.0; // 31 December 9999

template <typename T> void store(std::uint8_t* at, T v)
{
    std::memcpy(at, &v, sizeof v); // the host is little-endian like the file
}

template <typename T> T load(const std::uint8_t* at)
{
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

// Integer narrowing keeps the low-order bytes; a byte widens without sign.
std::int64_t asInteger(const Value& value) { return value.numericAsInt64(); }

double asDouble(const Value& value)
{
    if (value.kind() == Kind::Float)
        return floatToDoubleSixDigits(value.asFloat());
    return value.numericAsDouble();
}

float asFloat(const Value& value)
{
    if (value.kind() == Kind::Float)
        return value.asFloat();
    const double d = value.numericAsDouble();
    // Out of float's range the conversion is undefined; it becomes infinity.
    if (d > 3.4028234663852886e38)
        return HUGE_VALF;
    if (d < -3.4028234663852886e38)
        return -HUGE_VALF;
    return static_cast<float>(d);
}

} // namespace

double floatToDoubleSixDigits(float value)
{
    const double d = value;
    if (d == 0.0 || !std::isfinite(d))
        return d;
    // glibc prints the exact binary value; 120 digits cover every float. The seventh
    // significant digit decides: 5 or more rounds the magnitude up.
    char exact[160];
    std::snprintf(exact, sizeof exact, "%.120e", std::fabs(d));
    const char* e = std::strchr(exact, 'e');
    int exponent = std::atoi(e + 1);
    char digits[8];
    digits[0] = exact[0];
    std::memcpy(digits + 1, exact + 2, 6); // d.dddddd...
    bool up = digits[6] >= '5';
    char six[7];
    std::memcpy(six, digits, 6);
    six[6] = '\0';
    long mantissa = std::strtol(six, nullptr, 10);
    if (up && ++mantissa == 1000000) {
        mantissa = 100000;
        ++exponent;
    }
    char rounded[32];
    std::snprintf(rounded, sizeof rounded, "%ld.%05lde%d", mantissa / 100000, mantissa % 100000, exponent);
    const double r = std::strtod(rounded, nullptr);
    return d < 0 ? -r : r;
}

runtime::Kind valueKindOf(FieldType type)
{
    switch (type) {
    case FieldType::Byte: return Kind::Byte;
    case FieldType::Short: return Kind::Short;
    case FieldType::Integer: return Kind::Integer;
    case FieldType::Long: return Kind::Long;
    case FieldType::Float: return Kind::Float;
    case FieldType::Double: return Kind::Double;
    case FieldType::Logical: return Kind::Logical;
    case FieldType::DateTime: return Kind::DateTime;
    case FieldType::SubprogramPointer: return Kind::SubprogramPointer;
    case FieldType::Text:
    case FieldType::Memo: return Kind::Text;
    case FieldType::ByteSet: return Kind::ByteSet;
    }
    return Kind::None;
}

bool valueFitsField(FieldType type, const Value& value)
{
    const Kind wanted = valueKindOf(type);
    if (value.kind() == wanted)
        return true;
    const bool numericField = wanted >= Kind::Byte && wanted <= Kind::Double;
    return numericField && value.isNumeric();
}

Value emptyValueOf(FieldType type)
{
    switch (type) {
    case FieldType::Byte: return Value::byte(0);
    case FieldType::Short: return Value::shortInt(0);
    case FieldType::Integer: return Value::integer(0);
    case FieldType::Long: return Value::longInt(0);
    case FieldType::Float: return Value::floating(0.0f);
    case FieldType::Double: return Value::doubleFloat(0.0);
    case FieldType::Logical: return Value::logical(false);
    case FieldType::DateTime: return Value::dateTime(0.0);
    case FieldType::SubprogramPointer: return Value::subprogramPointer(0);
    case FieldType::Text:
    case FieldType::Memo: return Value::text("");
    case FieldType::ByteSet: return Value::byteSet({});
    }
    return Value();
}

void encodeField(FieldType type, std::int32_t width, const Value& value, std::uint8_t* at)
{
    switch (type) {
    case FieldType::Byte: *at = static_cast<std::uint8_t>(asInteger(value)); break;
    case FieldType::Short: store(at, static_cast<std::int16_t>(static_cast<std::uint16_t>(asInteger(value)))); break;
    case FieldType::Integer: store(at, static_cast<std::int32_t>(static_cast<std::uint32_t>(asInteger(value)))); break;
    case FieldType::Long: store(at, asInteger(value)); break;
    case FieldType::Float: store(at, asFloat(value)); break;
    case FieldType::Double: store(at, asDouble(value)); break;
    case FieldType::Logical: *at = value.asLogical() ? 1 : 0; break;
    case FieldType::DateTime: store(at, value.asDateTime().days); break;
    case FieldType::SubprogramPointer: store(at, value.asSubprogramPointer().raw); break;
    case FieldType::Text: {
        // The text and its terminator, cut to the width: a text of the full width or
        // longer has no terminator.
        const auto& text = value.asText();
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(width), text.size() + 1);
        std::memcpy(at, text.data(), std::min(n, text.size()));
        if (n > text.size())
            at[text.size()] = 0;
        break;
    }
    case FieldType::ByteSet:
    case FieldType::Memo: break; // chain references are written by the caller
    }
}

Value decodeField(FieldType type, std::int32_t width, const std::uint8_t* at)
{
    switch (type) {
    case FieldType::Byte: return Value::byte(*at);
    case FieldType::Short: return Value::shortInt(load<std::int16_t>(at));
    case FieldType::Integer: return Value::integer(load<std::int32_t>(at));
    case FieldType::Long: return Value::longInt(load<std::int64_t>(at));
    case FieldType::Float: return Value::floating(load<float>(at));
    case FieldType::Double: return Value::doubleFloat(load<double>(at));
    case FieldType::Logical: return Value::logical(*at != 0);
    case FieldType::DateTime: {
        const double days = load<double>(at);
        // NaN is outside every date; it reads as the lower bound.
        if (!(days >= kMinDateTime))
            return Value::dateTime(kMinDateTime);
        return Value::dateTime(std::min(days, kMaxDateTime));
    }
    case FieldType::SubprogramPointer: return Value::subprogramPointer(load<std::uint32_t>(at));
    case FieldType::Text: {
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(at, 0, static_cast<std::size_t>(width)));
        const std::size_t n = end ? static_cast<std::size_t>(end - at) : static_cast<std::size_t>(width);
        return Value::text(std::string(reinterpret_cast<const char*>(at), n));
    }
    case FieldType::ByteSet:
    case FieldType::Memo: break;
    }
    return Value();
}

} // namespace qr::store
