#include "runtime/gbk.h"
#include "runtime/ole_date.h"
#include "runtime/to_byte_set.h"
#include "runtime/to_number.h"
#include "runtime/to_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qr::runtime {
namespace {

TEST(ToText, IntegersUseTheirOwnWidthAndSign)
{
    EXPECT_EQ(toText(Value::byte(255)), "255");
    EXPECT_EQ(toText(Value::shortInt(-32768)), "-32768");
    EXPECT_EQ(toText(Value::integer(-2147483647 - 1)), "-2147483648");
    EXPECT_EQ(toText(Value::longInt(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(toText(Value::longInt(std::numeric_limits<std::int64_t>::max())), "9223372036854775807");
}

TEST(ToText, FloatingValuesUseSixAndThirteenSignificantDigits)
{
    EXPECT_EQ(toText(Value::doubleFloat(170.0)), "170");
    EXPECT_EQ(toText(Value::doubleFloat(0.1)), "0.1");
    EXPECT_EQ(toText(Value::floating(60.5f)), "60.5");
    // The float 0.1 widened to double is 0.100000001490116...; six digits hide it.
    EXPECT_EQ(toText(Value::floating(0.1f)), "0.1");
    EXPECT_EQ(toText(Value::doubleFloat(1.0 / 3.0)), "0.3333333333333");
    EXPECT_EQ(toText(Value::floating(1.0f / 3.0f)), "0.333333");
    EXPECT_EQ(toText(Value::doubleFloat(123456789012345.0)), "1.234567890123e+14");
    EXPECT_EQ(toText(Value::floating(1234567.0f)), "1.23457e+06");
    EXPECT_EQ(toText(Value::doubleFloat(1e-5)), "1e-05");
    EXPECT_EQ(toText(Value::doubleFloat(-0.0)), "-0");
}

TEST(ToText, LogicalTextAndByteSet)
{
    EXPECT_EQ(toText(Value::logical(true)), "真");
    EXPECT_EQ(toText(Value::logical(false)), "假");
    EXPECT_EQ(toText(Value::text("张三")), "张三");
    EXPECT_EQ(toText(Value::byteSet({'a', 'b', 0, 'c'})), "ab");
    EXPECT_EQ(toText(Value::byteSet({'a', 'b'})), "ab");
    EXPECT_EQ(toText(Value::byteSet({})), "");
    EXPECT_EQ(toText(Value()), "");
    EXPECT_EQ(toText(Value::subprogramPointer(7)), "");
}

TEST(ToText, DateTimeShowsOnlyTheTimePartsThatAreSet)
{
    EXPECT_EQ(dateTimeText(0.0), "1899年12月30日");
    EXPECT_EQ(dateTimeText(43831.0), "2020年1月1日");
    EXPECT_EQ(dateTimeText(43831.75), "2020年1月1日18时");
    EXPECT_EQ(dateTimeText(43831.0 + (18 * 3600 + 30 * 60) / 86400.0), "2020年1月1日18时30分");
    EXPECT_EQ(dateTimeText(43831.0 + (18 * 3600 + 5) / 86400.0), "2020年1月1日18时0分5秒");
    EXPECT_EQ(dateTimeText(43831.0 + 5 / 86400.0), "2020年1月1日0时0分5秒");
    EXPECT_EQ(toText(Value::dateTime(36585.5)), "2000年2月29日12时");
}

TEST(ToText, DateTimeCountsNegativeFractionsForwardFromMidnight)
{
    EXPECT_EQ(dateTimeText(-1.0), "1899年12月29日");
    EXPECT_EQ(dateTimeText(-1.25), "1899年12月29日6时");
    EXPECT_EQ(dateTimeText(-0.5), "1899年12月30日12时");
    EXPECT_EQ(dateTimeText(-2.75), "1899年12月28日18时");
    EXPECT_EQ(dateTimeText(-36522.0), "1800年1月1日");
}

TEST(ToText, DateTimeIsClampedAndRounded)
{
    EXPECT_EQ(dateTimeText(-657434.0), "100年1月1日");
    EXPECT_EQ(dateTimeText(-1e12), "100年1月1日");
    EXPECT_EQ(dateTimeText(2958465.0), "9999年12月31日");
    EXPECT_EQ(dateTimeText(2958465.9), "9999年12月31日");
    EXPECT_EQ(dateTimeText(1e300), "9999年12月31日");
    EXPECT_EQ(dateTimeText(std::numeric_limits<double>::quiet_NaN()), "1899年12月30日");
    // Less than half a second before midnight is the next day.
    EXPECT_EQ(dateTimeText(43831.0 + 86399.6 / 86400.0), "2020年1月2日");
    EXPECT_EQ(calendarFromDateTime(43831.0 + 86399.4 / 86400.0), (CalendarTime{2020, 1, 1, 23, 59, 59}));
}

TEST(ToNumber, FullWidthFormsBecomeAscii)
{
    EXPECT_EQ(normaliseFullWidth("１７０"), "170");
    EXPECT_EQ(normaliseFullWidth("　－１．５Ａｂ"), " -1.5Ab");
    EXPECT_EQ(normaliseFullWidth("\xA1\xAB\xA1\xEE\xA1\xEF"), "~**");
    EXPECT_EQ(normaliseFullWidth("身高１７０"), "身高170");
    // A lone lead byte at the end stays; an ASCII byte after a pair is not swallowed.
    EXPECT_EQ(normaliseFullWidth("1\xA3"), "1\xA3");
    EXPECT_EQ(normaliseFullWidth("\xA3\xB1"
                                 "2"),
              "12");
}

TEST(ToNumber, TextsParseLikeClassicAtof)
{
    EXPECT_EQ(toNumber(Value::text("１７０")), 170.0);
    EXPECT_EQ(toNumber(Value::text("  \t12.5kg")), 12.5);
    EXPECT_EQ(toNumber(Value::text("　１２")), 12.0);
    EXPECT_EQ(toNumber(Value::text("－５")), -5.0);
    EXPECT_EQ(toNumber(Value::text("１．５")), 1.5);
    EXPECT_EQ(toNumber(Value::text("-3e2")), -300.0);
    EXPECT_EQ(toNumber(Value::text("+.5")), 0.5);
    EXPECT_EQ(toNumber(Value::text("5.")), 5.0);
    EXPECT_EQ(toNumber(Value::text("1e")), 1.0);
    EXPECT_EQ(toNumber(Value::text("1e+")), 1.0);
    EXPECT_EQ(toNumber(Value::text("abc")), 0.0);
    EXPECT_EQ(toNumber(Value::text("")), 0.0);
    EXPECT_EQ(toNumber(Value::text("+.e1")), 0.0);
    EXPECT_EQ(toNumber(Value::text("中12")), 0.0);
    EXPECT_EQ(toNumber(Value::text("0x1A")), 0.0);
    EXPECT_EQ(toNumber(Value::text("inf")), 0.0);
    EXPECT_EQ(toNumber(Value::text("nan")), 0.0);
    EXPECT_TRUE(std::isinf(toNumber(Value::text("1e400"))));
    EXPECT_EQ(toNumber(Value::text("1e-400")), 0.0);
}

TEST(ToNumber, OtherKinds)
{
    EXPECT_EQ(toNumber(Value::logical(true)), 1.0);
    EXPECT_EQ(toNumber(Value::logical(false)), 0.0);
    EXPECT_EQ(toNumber(Value::byte(200)), 200.0);
    EXPECT_EQ(toNumber(Value::longInt(-7)), -7.0);
    EXPECT_EQ(toNumber(Value::floating(60.5f)), 60.5);
    EXPECT_EQ(toNumber(Value::dateTime(2.5)), 2.5);
    EXPECT_EQ(toNumber(Value::byteSet({'1', '2'})), 0.0);
    EXPECT_EQ(toNumber(Value()), 0.0);
}

TEST(ToFloat, NarrowsAndSaturatesToInfinity)
{
    EXPECT_EQ(toFloat(Value::text("60.5")), 60.5f);
    EXPECT_EQ(toFloat(Value::doubleFloat(0.1)), 0.1f);
    EXPECT_EQ(toFloat(Value::text("1e300")), std::numeric_limits<float>::infinity());
    EXPECT_EQ(toFloat(Value::doubleFloat(-1e300)), -std::numeric_limits<float>::infinity());
}

TEST(ToByteSet, RawLittleEndianBytesInTheValuesOwnWidth)
{
    EXPECT_EQ(toByteSet(Value::byte(0xAB)), (ByteSet{0xAB}));
    EXPECT_EQ(toByteSet(Value::shortInt(0x0102)), (ByteSet{0x02, 0x01}));
    EXPECT_EQ(toByteSet(Value::integer(0x01020304)), (ByteSet{4, 3, 2, 1}));
    EXPECT_EQ(toByteSet(Value::longInt(-1)), ByteSet(8, 0xFF));
    EXPECT_EQ(toByteSet(Value::floating(1.0f)), (ByteSet{0, 0, 0x80, 0x3F}));
    EXPECT_EQ(toByteSet(Value::doubleFloat(1.0)), (ByteSet{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(toByteSet(Value::logical(true)), (ByteSet{1, 0, 0, 0}));
    EXPECT_EQ(toByteSet(Value::text("中a")), (ByteSet{0xD6, 0xD0, 'a'}));
    EXPECT_EQ(toByteSet(Value::text("")), ByteSet{});
    EXPECT_EQ(toByteSet(Value::byteSet({0, 1, 0})), (ByteSet{0, 1, 0}));
    EXPECT_EQ(toByteSet(Value()), ByteSet{});
}

TEST(Gbk, RoundTripsThroughUtf8AndUtf16)
{
    const std::string gbk = "Tarnfield初中2017级1班";
    EXPECT_EQ(gbkToUtf8(gbk), reinterpret_cast<const char*>(u8"Tarnfield初中2017级1班"));
    EXPECT_EQ(utf8ToGbk(gbkToUtf8(gbk)), gbk);
    EXPECT_EQ(gbkToUtf16(gbk), u"Tarnfield初中2017级1班");
    EXPECT_EQ(utf16ToGbk(gbkToUtf16(gbk)), gbk);
    // A cut double-byte character is marked, not dropped with what follows.
    EXPECT_EQ(gbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");
}

} // namespace
} // namespace qr::runtime
