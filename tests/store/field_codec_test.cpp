#include "store/field_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace qr::store {
namespace {

Value roundTrip(FieldType type, std::int32_t width, const Value& value)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) + 2, 0xEE);
    encodeField(type, width, value, bytes.data());
    EXPECT_EQ(bytes[static_cast<std::size_t>(width)], 0xEE) << "wrote past the field";
    return decodeField(type, width, bytes.data());
}

TEST(FloatToDouble, RoundsToSixSignificantDigits)
{
    EXPECT_EQ(floatToDoubleSixDigits(165.5f), 165.5);
    EXPECT_EQ(floatToDoubleSixDigits(0.1f), 0.1);
    EXPECT_EQ(floatToDoubleSixDigits(-52.3f), -52.3);
    EXPECT_EQ(floatToDoubleSixDigits(3.14159274f), 3.14159);
    EXPECT_EQ(floatToDoubleSixDigits(999999.5f), 1000000.0);
    // An exact half rounds away from zero, not to even.
    EXPECT_EQ(floatToDoubleSixDigits(1234565.0f), 1234570.0);
    EXPECT_EQ(floatToDoubleSixDigits(-1234565.0f), -1234570.0);
    EXPECT_EQ(floatToDoubleSixDigits(0.0f), 0.0);
    EXPECT_EQ(floatToDoubleSixDigits(1.17549435e-38f), 1.17549e-38);
}

TEST(NumericConversion, NarrowsWidensAndTruncatesIntoTheFieldType)
{
    // Narrowing keeps the low-order bytes.
    EXPECT_EQ(roundTrip(FieldType::Byte, 1, Value::integer(0x1FF)), Value::byte(0xFF));
    EXPECT_EQ(roundTrip(FieldType::Short, 2, Value::integer(70000)), Value::shortInt(4464));
    EXPECT_EQ(roundTrip(FieldType::Integer, 4, Value::longInt(0x100000005LL)), Value::integer(5));
    // A byte widens without sign, a short with sign.
    EXPECT_EQ(roundTrip(FieldType::Integer, 4, Value::byte(200)), Value::integer(200));
    EXPECT_EQ(roundTrip(FieldType::Long, 8, Value::shortInt(-2)), Value::longInt(-2));
    // Floating values truncate toward zero.
    EXPECT_EQ(roundTrip(FieldType::Integer, 4, Value::doubleFloat(-7.9)), Value::integer(-7));
    EXPECT_EQ(roundTrip(FieldType::Short, 2, Value::floating(165.5f)), Value::shortInt(165));
    EXPECT_EQ(roundTrip(FieldType::Double, 8, Value::floating(165.5f)), Value::doubleFloat(165.5));
    EXPECT_EQ(roundTrip(FieldType::Double, 8, Value::floating(0.1f)), Value::doubleFloat(0.1));
    EXPECT_EQ(roundTrip(FieldType::Float, 4, Value::integer(42)), Value::floating(42.0f));
    EXPECT_EQ(roundTrip(FieldType::Float, 4, Value::doubleFloat(1e300)).asFloat(), HUGE_VALF);
}

TEST(TextField, CutToTheWidthWithTerminatorRule)
{
    EXPECT_EQ(roundTrip(FieldType::Text, 10, Value::text("0123456789")), Value::text("0123456789"));
    EXPECT_EQ(roundTrip(FieldType::Text, 10, Value::text("abc")), Value::text("abc"));
    EXPECT_EQ(roundTrip(FieldType::Text, 10, Value::text("0123456789AB")), Value::text("0123456789"));
    EXPECT_EQ(roundTrip(FieldType::Text, 10, Value::text("")), Value::text(""));
    std::uint8_t bytes[10];
    std::memset(bytes, 'x', sizeof bytes);
    encodeField(FieldType::Text, 10, Value::text("ab"), bytes);
    EXPECT_EQ(bytes[2], 0);   // the terminator
    EXPECT_EQ(bytes[3], 'x'); // only min(width, length + 1) bytes are written
}

TEST(DateTimeField, ReadsBackClampedToTheCalendar)
{
    EXPECT_EQ(roundTrip(FieldType::DateTime, 8, Value::dateTime(45000.25)), Value::dateTime(45000.25));
    EXPECT_EQ(roundTrip(FieldType::DateTime, 8, Value::dateTime(3e6)), Value::dateTime(2958465.0));
    EXPECT_EQ(roundTrip(FieldType::DateTime, 8, Value::dateTime(-1e6)), Value::dateTime(-657434.0));
}

TEST(FieldTypes, ValuesMustMatchUnlessBothNumeric)
{
    EXPECT_TRUE(valueFitsField(FieldType::Byte, Value::doubleFloat(1.5)));
    EXPECT_TRUE(valueFitsField(FieldType::Memo, Value::text("x")));
    EXPECT_FALSE(valueFitsField(FieldType::Memo, Value::byteSet({1})));
    EXPECT_FALSE(valueFitsField(FieldType::ByteSet, Value::text("x")));
    EXPECT_FALSE(valueFitsField(FieldType::Integer, Value::logical(true)));
    EXPECT_FALSE(valueFitsField(FieldType::Logical, Value::integer(1)));
    EXPECT_FALSE(valueFitsField(FieldType::DateTime, Value::doubleFloat(1.0)));
    EXPECT_FALSE(valueFitsField(FieldType::Text, Value::integer(1)));
}

} // namespace
} // namespace qr::store
