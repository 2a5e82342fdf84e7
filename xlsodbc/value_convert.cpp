#include "xlsodbc/value_convert.h"

#include "runtime/gbk.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace qr::xls {
namespace {

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void civilFromDays(long long z, int& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yy + (m <= 2));
}

template <typename T> SQLRETURN putInteger(double v, SQLPOINTER target, SQLLEN* indicator, HandleBase& diag)
{
    const double whole = std::trunc(v);
    if (std::isnan(v) || whole < static_cast<double>(std::numeric_limits<T>::min()) ||
        whole > static_cast<double>(std::numeric_limits<T>::max()))
        return diag.error("22003", "numeric value out of range");
    if (target)
        *static_cast<T*>(target) = static_cast<T>(whole);
    if (indicator)
        *indicator = sizeof(T);
    return whole != v ? diag.warning("01S07", "fractional part dropped") : SQL_SUCCESS;
}

template <typename T> SQLRETURN putFixed(T v, SQLPOINTER target, SQLLEN* indicator)
{
    if (target)
        std::memcpy(target, &v, sizeof v);
    if (indicator)
        *indicator = sizeof v;
    return SQL_SUCCESS;
}

SQLRETURN putTimestamp(double serial, SQLSMALLINT cType, SQLPOINTER target, SQLLEN* indicator, HandleBase& diag)
{
    // Serial day numbers count from 1899-12-30, the fraction is the time of day.
    if (std::isnan(serial) || serial < -657434 || serial > 2958466)
        return diag.error("22008", "the number is not a date");
    long long days = static_cast<long long>(std::floor(serial));
    long long ms = std::llround((serial - static_cast<double>(days)) * 86400000.0);
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    int y;
    unsigned m, d;
    civilFromDays(days - 25569, y, m, d); // 25569: 1899-12-30 to 1970-01-01
    if (cType == SQL_C_TYPE_DATE || cType == SQL_C_DATE) {
        SQL_DATE_STRUCT out{static_cast<SQLSMALLINT>(y), static_cast<SQLUSMALLINT>(m), static_cast<SQLUSMALLINT>(d)};
        return putFixed(out, target, indicator);
    }
    SQL_TIMESTAMP_STRUCT out{};
    out.year = static_cast<SQLSMALLINT>(y);
    out.month = static_cast<SQLUSMALLINT>(m);
    out.day = static_cast<SQLUSMALLINT>(d);
    out.hour = static_cast<SQLUSMALLINT>(ms / 3600000);
    out.minute = static_cast<SQLUSMALLINT>(ms / 60000 % 60);
    out.second = static_cast<SQLUSMALLINT>(ms / 1000 % 60);
    out.fraction = static_cast<SQLUINTEGER>(ms % 1000) * 1000000u;
    return putFixed(out, target, indicator);
}

// Hands out bytes of a text from piece.offset on; `terminator` is the size of the
// NUL the C type ends with (0 for binary, 1 for char, 2 for wide char).
SQLRETURN putBytes(std::string_view bytes, std::size_t terminator, SQLPOINTER target, SQLLEN bufferLength,
                   SQLLEN* indicator, PieceState& piece, HandleBase& diag)
{
    const std::size_t remaining = bytes.size() - std::min(piece.offset, bytes.size());
    if (indicator)
        *indicator = static_cast<SQLLEN>(remaining);
    if (!target || bufferLength < static_cast<SQLLEN>(terminator)) {
        if (remaining == 0 && terminator == 0) {
            piece.done = true;
            return SQL_SUCCESS;
        }
        return diag.warning("01004", "string data, right truncated");
    }
    std::size_t room = static_cast<std::size_t>(bufferLength) - terminator;
    if (terminator == 2)
        room &= ~std::size_t(1);
    const std::size_t n = std::min(room, remaining);
    auto* out = static_cast<char*>(target);
    std::memcpy(out, bytes.data() + piece.offset, n);
    for (std::size_t i = 0; i < terminator; ++i)
        out[n + i] = 0;
    piece.offset += n;
    if (n < remaining)
        return diag.warning("01004", "string data, right truncated");
    piece.done = true;
    return SQL_SUCCESS;
}

} // namespace

bool parseNumber(std::string_view text, double& out)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

bool isNumericSqlType(SQLSMALLINT t)
{
    switch (t) {
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_BIT: return true;
    default: return false;
    }
}

SQLSMALLINT defaultCType(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_DOUBLE:
    case SQL_FLOAT: return SQL_C_DOUBLE;
    case SQL_REAL: return SQL_C_FLOAT;
    case SQL_INTEGER: return SQL_C_SLONG;
    case SQL_SMALLINT: return SQL_C_SSHORT;
    case SQL_TINYINT: return SQL_C_STINYINT;
    case SQL_BIT: return SQL_C_BIT;
    case SQL_BIGINT: return SQL_C_SBIGINT;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: return SQL_C_BINARY;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR: return SQL_C_WCHAR;
    default: return SQL_C_CHAR;
    }
}

SQLLEN elementSize(SQLSMALLINT cType, SQLLEN bufferLength)
{
    switch (cType) {
    case SQL_C_DOUBLE: return sizeof(SQLDOUBLE);
    case SQL_C_FLOAT: return sizeof(SQLREAL);
    case SQL_C_LONG:
    case SQL_C_SLONG:
    case SQL_C_ULONG: return sizeof(SQLINTEGER);
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
    case SQL_C_USHORT: return sizeof(SQLSMALLINT);
    case SQL_C_TINYINT:
    case SQL_C_STINYINT:
    case SQL_C_UTINYINT:
    case SQL_C_BIT: return 1;
    case SQL_C_SBIGINT:
    case SQL_C_UBIGINT: return sizeof(SQLBIGINT);
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: return sizeof(SQL_DATE_STRUCT);
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP: return sizeof(SQL_TIMESTAMP_STRUCT);
    default: return bufferLength;
    }
}

SQLRETURN convertValue(const FieldValue& value, SQLSMALLINT sqlType, SQLSMALLINT cType, SQLPOINTER target,
                       SQLLEN bufferLength, SQLLEN* indicator, PieceState& piece, HandleBase& diag)
{
    if (cType == SQL_C_DEFAULT || cType == SQL_ARD_TYPE)
        cType = defaultCType(sqlType);
    if (value.isNull) {
        if (!indicator)
            return diag.error("22002", "NULL value but no indicator variable");
        *indicator = SQL_NULL_DATA;
        piece.done = true;
        return SQL_SUCCESS;
    }
    const bool numeric = isNumericSqlType(sqlType);
    switch (cType) {
    case SQL_C_CHAR:
    case SQL_C_BINARY: {
        const std::string formatted = numeric ? formatNumber(value.number) : std::string();
        const std::string_view bytes = numeric ? std::string_view(formatted) : std::string_view(value.text);
        return putBytes(bytes, cType == SQL_C_CHAR ? 1 : 0, target, bufferLength, indicator, piece, diag);
    }
    case SQL_C_WCHAR: {
        const std::u16string wide = runtime::gbkToUtf16(numeric ? formatNumber(value.number) : value.text);
        std::string bytes(wide.size() * 2, '\0');
        std::memcpy(bytes.data(), wide.data(), bytes.size());
        return putBytes(bytes, 2, target, bufferLength, indicator, piece, diag);
    }
    default: break;
    }
    // Fixed-size C types take the value whole.
    piece.done = true;
    double v = value.number;
    if (!numeric && !parseNumber(value.text, v))
        return diag.error("22018", "invalid character value for the requested type");
    switch (cType) {
    case SQL_C_DOUBLE: return putFixed<SQLDOUBLE>(v, target, indicator);
    case SQL_C_FLOAT:
        if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max())
            return diag.error("22003", "numeric value out of range");
        return putFixed<SQLREAL>(static_cast<SQLREAL>(v), target, indicator);
    case SQL_C_LONG:
    case SQL_C_SLONG: return putInteger<SQLINTEGER>(v, target, indicator, diag);
    case SQL_C_ULONG: return putInteger<SQLUINTEGER>(v, target, indicator, diag);
    case SQL_C_SHORT:
    case SQL_C_SSHORT: return putInteger<SQLSMALLINT>(v, target, indicator, diag);
    case SQL_C_USHORT: return putInteger<SQLUSMALLINT>(v, target, indicator, diag);
    case SQL_C_TINYINT:
    case SQL_C_STINYINT: return putInteger<SQLSCHAR>(v, target, indicator, diag);
    case SQL_C_UTINYINT: return putInteger<SQLCHAR>(v, target, indicator, diag);
    case SQL_C_SBIGINT: return putInteger<SQLBIGINT>(v, target, indicator, diag);
    case SQL_C_UBIGINT: return putInteger<SQLUBIGINT>(v, target, indicator, diag);
    case SQL_C_BIT:
        if (std::isnan(v) || v < 0 || v >= 2)
            return diag.error("22003", "numeric value out of range");
        return putInteger<SQLCHAR>(v, target, indicator, diag);
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE:
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP:
        if (!numeric)
            return diag.error("22018", "invalid character value for the requested type");
        return putTimestamp(v, cType, target, indicator, diag);
    default:
        return diag.error("07006", "restricted data type attribute violation (C type " + std::to_string(cType) + ")");
    }
}

} // namespace qr::xls
