// Little-endian helpers: byte order, sign and the high bit, and that every writer
// gives back what its reader takes.
#include "runtime/coding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qr::runtime {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Coding, ReadsLowByteFirst)
{
    const Bytes b = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
    EXPECT_EQ(getU16(b.data()), 0x0201u);
    EXPECT_EQ(getU32(b.data()), 0x04030201u);
    EXPECT_EQ(getU64(b.data()), 0x8807060504030201ull);
    // The high bit of the last byte is the sign of the signed reads, never of a
    // byte in between (a byte promoted to int must not spread its sign).
    const Bytes high = {0xFF, 0x80, 0xFF, 0xFF};
    EXPECT_EQ(getU16(high.data()), 0x80FFu);
    EXPECT_EQ(getI16(high.data()), std::int16_t(-32513));
    EXPECT_EQ(getU32(high.data()), 0xFFFF80FFu);
    EXPECT_EQ(getI32(high.data()), -32513);
    const Bytes minimum = {0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(getI32(minimum.data()), std::numeric_limits<std::int32_t>::min());
}

TEST(Coding, PutAndAppendWriteTheSameBytes)
{
    Bytes put(18, 0xEE);
    putU16(put.data(), 0xA1B2);
    putU32(put.data() + 2, 0xC3D4E5F6);
    putI32(put.data() + 6, -2);
    putU64(put.data() + 10, 0x0102030405060708ull);
    EXPECT_EQ(put, (Bytes{0xB2, 0xA1, 0xF6, 0xE5, 0xD4, 0xC3, 0xFE, 0xFF, 0xFF, 0xFF, 0x08, 0x07, 0x06, 0x05, 0x04,
                          0x03, 0x02, 0x01}));

    Bytes appended;
    appendU16(appended, 0xA1B2);
    appendU32(appended, 0xC3D4E5F6);
    appendI32(appended, -2);
    EXPECT_EQ(appended, Bytes(put.begin(), put.begin() + 10));
}

TEST(Coding, DoublesRoundTripBitForBit)
{
    Bytes one;
    appendF64(one, 1.0);
    EXPECT_EQ(one, (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    for (double d : {0.0, -0.0, 1.5, -12.25, 1e300, std::numeric_limits<double>::denorm_min(),
                     std::numeric_limits<double>::infinity()}) {
        Bytes b;
        appendF64(b, d);
        ASSERT_EQ(b.size(), 8u);
        const double back = getF64(b.data());
        EXPECT_EQ(back, d);
        EXPECT_EQ(std::signbit(back), std::signbit(d));
    }
    Bytes nan;
    appendF64(nan, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(getF64(nan.data())));
}

} // namespace
} // namespace qr::runtime
