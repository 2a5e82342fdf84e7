#include "sheet/cell_value.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <cmath>
#include <limits>

namespace qr::sheet {
namespace {

using runtime::Kind;
using runtime::Value;

TEST(CellValue, IntegerConversionBehavesLikeTheCLibrary)
{
    EXPECT_EQ(textToInteger(" 42abc"), 42);
    EXPECT_EQ(textToInteger("-7"), -7);
    EXPECT_EQ(textToInteger("+5"), 5);
    EXPECT_EQ(textToInteger(""), 0);
    EXPECT_EQ(textToInteger("abc"), 0);
    EXPECT_EQ(textToInteger("3.9"), 3);
    EXPECT_EQ(textToInteger("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(textToInteger("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(CellValue, DecimalConversionBehavesLikeTheCLibrary)
{
    EXPECT_EQ(textToDecimal("45.5"), 45.5);
    EXPECT_EQ(textToDecimal(" \t1e3x"), 1000.0);
    EXPECT_EQ(textToDecimal("-0.5"), -0.5);
    EXPECT_EQ(textToDecimal(".25"), 0.25);
    EXPECT_EQ(textToDecimal(""), 0.0);
    EXPECT_EQ(textToDecimal("x1"), 0.0);
    EXPECT_TRUE(std::isinf(textToDecimal("1e999")));
    EXPECT_EQ(textToDecimal("1e-999"), 0.0);
}

TEST(CellValue, SqlTypesChooseTheKindOfCell)
{
    EXPECT_EQ(cellFetchFor(SQL_TINYINT), CellFetch::TinyInt);
    EXPECT_EQ(cellFetchFor(SQL_REAL), CellFetch::Real);
    EXPECT_EQ(cellFetchFor(SQL_FLOAT), CellFetch::Double);
    EXPECT_EQ(cellFetchFor(SQL_NUMERIC), CellFetch::Text);
    EXPECT_EQ(cellFetchFor(SQL_BIGINT), CellFetch::Text);
    EXPECT_EQ(cellFetchFor(SQL_WVARCHAR), CellFetch::Text);
    EXPECT_EQ(cellFetchFor(SQL_WLONGVARCHAR), CellFetch::Text); // -10: last code read as text
    EXPECT_EQ(cellFetchFor(SQL_DATE), CellFetch::Date);
    EXPECT_EQ(cellFetchFor(SQL_TYPE_DATE), CellFetch::Date);
    EXPECT_EQ(cellFetchFor(SQL_TYPE_TIMESTAMP), CellFetch::Timestamp);
    EXPECT_EQ(cellFetchFor(SQL_LONGVARBINARY), CellFetch::Binary);
    EXPECT_EQ(cellFetchFor(SQL_GUID), CellFetch::Skip); // -11
    EXPECT_EQ(cellFetchFor(SQL_INTERVAL_DAY), CellFetch::Skip);
    EXPECT_TRUE(isLongOrBinaryType(SQL_LONGVARCHAR));
    EXPECT_TRUE(isLongOrBinaryType(SQL_LONGVARBINARY));
    EXPECT_FALSE(isLongOrBinaryType(SQL_CHAR));
    EXPECT_FALSE(isLongOrBinaryType(SQL_BIGINT));
}

TEST(CellValue, CellsFromBoundTextFollowTheColumnType)
{
    EXPECT_EQ(cellFromBoundText(SQL_INTEGER, "170"), Value::integer(170));
    EXPECT_EQ(cellFromBoundText(SQL_SMALLINT, "-3"), Value::shortInt(-3));
    EXPECT_EQ(cellFromBoundText(SQL_TINYINT, "7"), Value::byte(7));
    EXPECT_EQ(cellFromBoundText(SQL_BIT, "1"), Value::logical(true));
    EXPECT_EQ(cellFromBoundText(SQL_REAL, "60.5"), Value::floating(60.5f));
    EXPECT_EQ(cellFromBoundText(SQL_DOUBLE, "45.5"), Value::doubleFloat(45.5));
    EXPECT_EQ(cellFromBoundText(SQL_TYPE_DATE, "2017-09-01"), Value::text("2017-09-01"));
    EXPECT_EQ(cellFromBoundText(SQL_VARCHAR, "张三"), Value::text("张三"));

    // NULL (no bound text): 0 of the column's kind, an empty byte set, or the empty text.
    EXPECT_EQ(cellFromBoundText(SQL_INTEGER, std::nullopt), Value::integer(0));
    EXPECT_EQ(cellFromBoundText(SQL_BIT, std::nullopt), Value::logical(false));
    EXPECT_EQ(cellFromBoundText(SQL_FLOAT, std::nullopt), Value::doubleFloat(0.0));
    EXPECT_EQ(cellFromBoundText(SQL_REAL, std::nullopt), Value::floating(0.0f));
    EXPECT_EQ(cellFromBoundText(SQL_VARBINARY, std::nullopt), Value::byteSet({}));
    EXPECT_EQ(cellFromBoundText(SQL_TYPE_TIMESTAMP, std::nullopt), Value::text(""));
}

TEST(CellValue, DateTimesCountDaysFromTheEpochAndAreClamped)
{
    EXPECT_EQ(dateTimeDays(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_EQ(dateTimeDays(2017, 9, 1, 0, 0, 0, 0), 42979.0);
    EXPECT_EQ(dateTimeDays(2017, 9, 1, 12, 0, 0, 0), 42979.5);
    EXPECT_EQ(dateTimeDays(1900, 3, 1, 6, 0, 0, 0), 61.25);
    // Before the epoch the time of day counts away from zero.
    EXPECT_EQ(dateTimeDays(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(dateTimeDays(1, 1, 1, 0, 0, 0, 0), -657434.0);
    EXPECT_EQ(dateTimeDays(30000, 1, 1, 0, 0, 0, 0), 2958465.0);
    EXPECT_EQ(dateTimeDays(2017, 13, 1, 0, 0, 0, 0), std::nullopt);
    EXPECT_EQ(dateTimeDays(2017, 0, 1, 0, 0, 0, 0), std::nullopt);
    EXPECT_EQ(dateTimeDays(2017, 1, 1, 24, 0, 0, 0), std::nullopt);
}

} // namespace
} // namespace qr::sheet
