#include "runtime/to_byte_set.h"

#include <bit>
#include <cstring>

namespace qr::runtime {
namespace {

template <typename T> ByteSet rawBytes(T v)
{
    static_assert(std::endian::native == std::endian::little, "byte sets carry little-endian numbers");
    ByteSet out(sizeof v);
    std::memcpy(out.data(), &v, sizeof v);
    return out;
}

} // namespace

ByteSet toByteSet(const Value& value)
{
    switch (value.kind()) {
    case Kind::Byte: return rawBytes(value.asByte());
    case Kind::Short: return rawBytes(value.asShort());
    case Kind::Integer: return rawBytes(value.asInteger());
    case Kind::Long: return rawBytes(value.asLong());
    case Kind::Float: return rawBytes(value.asFloat());
    case Kind::Double: return rawBytes(value.asDouble());
    case Kind::Logical: return rawBytes(static_cast<std::int32_t>(value.asLogical() ? 1 : 0));
    case Kind::DateTime: return rawBytes(value.asDateTime().days);
    case Kind::SubprogramPointer: return rawBytes(value.asSubprogramPointer().raw);
    case Kind::Text: return ByteSet(value.asText().begin(), value.asText().end());
    case Kind::ByteSet: return value.asByteSet();
    case Kind::None: break;
    }
    return {};
}

} // namespace qr::runtime
