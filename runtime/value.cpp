#include "runtime/value.h"

#include <cmath>
#include <limits>

namespace qr::runtime {

std::int64_t Value::numericAsInt64() const
{
    switch (kind()) {
    case Kind::Byte: return asByte();
    case Kind::Short: return asShort();
    case Kind::Integer: return asInteger();
    case Kind::Long: return asLong();
    case Kind::Float:
    case Kind::Double: {
        const double d = numericAsDouble();
        // Casting an out-of-range double is undefined; saturate instead.
        if (std::isnan(d))
            return 0;
        if (d >= 9223372036854775807.0)
            return std::numeric_limits<std::int64_t>::max();
        if (d <= -9223372036854775808.0)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(d);
    }
    default: return 0;
    }
}

double Value::numericAsDouble() const
{
    switch (kind()) {
    case Kind::Float: return asFloat();
    case Kind::Double: return asDouble();
    case Kind::Byte:
    case Kind::Short:
    case Kind::Integer:
    case Kind::Long: return static_cast<double>(numericAsInt64());
    default: return 0.0;
    }
}

} // namespace qr::runtime
