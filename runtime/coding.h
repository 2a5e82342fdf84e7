// Little-endian integers and doubles in byte buffers, the order of every file the
// system reads and writes (store files, templates, workbooks, pictures). get/put work
// at a position whose bounds the caller has checked; append grows a buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace qr::runtime {

constexpr std::uint16_t getU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
constexpr std::uint32_t getU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
constexpr std::uint64_t getU64(const std::uint8_t* p)
{
    return std::uint64_t(getU32(p)) | (std::uint64_t(getU32(p + 4)) << 32);
}
constexpr std::int16_t getI16(const std::uint8_t* p) { return static_cast<std::int16_t>(getU16(p)); }
constexpr std::int32_t getI32(const std::uint8_t* p) { return static_cast<std::int32_t>(getU32(p)); }
// An IEEE double stored low byte first.
inline double getF64(const std::uint8_t* p)
{
    const std::uint64_t bits = getU64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

constexpr void putU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
constexpr void putU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
constexpr void putU64(std::uint8_t* p, std::uint64_t v)
{
    putU32(p, static_cast<std::uint32_t>(v));
    putU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
constexpr void putI32(std::uint8_t* p, std::int32_t v) { putU32(p, static_cast<std::uint32_t>(v)); }

inline void appendU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void appendI32(std::vector<std::uint8_t>& out, std::int32_t v) { appendU32(out, static_cast<std::uint32_t>(v)); }
inline void appendF64(std::vector<std::uint8_t>& out, double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    appendU32(out, static_cast<std::uint32_t>(bits));
    appendU32(out, static_cast<std::uint32_t>(bits >> 32));
}

} // namespace qr::runtime
