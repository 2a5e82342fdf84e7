// The identity-card check: the check character, the birth date, the older 15-digit
// numbers, and what a spreadsheet's number cells leave of a number.
#include "roster/id_card_check.h"

#include <gtest/gtest.h>

namespace qr::roster {
namespace {

constexpr CalendarDate kAsOf{2026, 12, 9};

std::string problemOf(std::string_view idCard) { return idCardProblem(idCard, kAsOf).value_or("(none)"); }

TEST(IdCardCheck, TheWorkedExampleAndOtherValidNumbersPass)
{
    EXPECT_FALSE(idCardProblem("11010519491231002X", kAsOf));
    EXPECT_FALSE(idCardProblem("430102201003150020", kAsOf)); // check character 0
    EXPECT_FALSE(idCardProblem("440304200802291234", kAsOf)); // born on a leap day
    EXPECT_FALSE(idCardProblem("", kAsOf));
}

TEST(IdCardCheck, ACheckCharacterIsComputedOverTheFirstSeventeenDigits)
{
    EXPECT_EQ(idCardCheckCharacter("11010519491231002"), 'X');
    EXPECT_EQ(idCardCheckCharacter("43010220100315002"), '0');
    EXPECT_EQ(idCardCheckCharacter("44030420080229123"), '4');
    EXPECT_FALSE(idCardCheckCharacter("1101051949123100"));
    EXPECT_FALSE(idCardCheckCharacter("1101051949123100A"));
}

TEST(IdCardCheck, AWrongCheckCharacterSaysWhichOneBelongs)
{
    EXPECT_EQ(problemOf("110105194912310021"), "校验位应为 X");
    EXPECT_EQ(problemOf("43010220100315002X"), "校验位应为 0");
    // Only the capital letter is a check character.
    EXPECT_EQ(problemOf("11010519491231002x"), "校验位应为 X");
    // One digit typed wrong changes the check character.
    EXPECT_EQ(problemOf("11010519491231003X"), "校验位应为 8");
}

TEST(IdCardCheck, TheBirthDateMustExistAndHaveCome)
{
    EXPECT_EQ(problemOf("110105200102291238"), "出生日期 20010229 不存在");
    EXPECT_EQ(problemOf("110105201013011234"), "出生日期 20101301 不存在");
    EXPECT_EQ(problemOf("110105201004001234"), "出生日期 20100400 不存在");
    EXPECT_EQ(problemOf("110105202612100011"), "出生日期 20261210 晚于今天");
    // Born on the day of the check is not the future.
    const std::string born = "11010520261209001";
    EXPECT_FALSE(idCardProblem(born + *idCardCheckCharacter(born), kAsOf));
}

TEST(IdCardCheck, FifteenDigitNumbersHaveNoCheckCharacterOnlyADateInTheNineteenHundreds)
{
    EXPECT_FALSE(idCardProblem("110105491231002", kAsOf));
    EXPECT_FALSE(idCardProblem("110105960229002", kAsOf));
    EXPECT_EQ(problemOf("110105000229002"), "出生日期 19000229 不存在"); // 1900 was no leap year
    EXPECT_EQ(problemOf("110105491331002"), "出生日期 19491331 不存在");
}

TEST(IdCardCheck, LengthAndDigitsComeFirst)
{
    EXPECT_EQ(problemOf("1101051949123100"), "应为18位（现为16个字符）");
    EXPECT_EQ(problemOf("11010519491231002X1"), "应为18位（现为19个字符）");
    EXPECT_EQ(problemOf("身份证"), "应为18位（现为3个字符）");
    EXPECT_EQ(problemOf("1101051949123100 X"), "前17位应全为数字");
    EXPECT_EQ(problemOf("11010549123100A"), "15位号码应全为数字");
}

TEST(IdCardCheck, NumberCellsLoseTheirDigitsAndSayWhy)
{
    EXPECT_TRUE(looksLikeNumberCell("1.101051949123e+17"));
    EXPECT_TRUE(looksLikeNumberCell("1.10105491231e+14"));
    EXPECT_TRUE(looksLikeNumberCell("4E+17"));
    EXPECT_FALSE(looksLikeNumberCell("11010519491231002X"));
    EXPECT_FALSE(looksLikeNumberCell("e+17"));
    EXPECT_FALSE(looksLikeNumberCell("1.5e"));
    EXPECT_FALSE(looksLikeNumberCell("G110105194912310021"));
    EXPECT_EQ(problemOf("1.101051949123e+17"), "来自数字单元格，后几位已丢失");
}

TEST(IdCardCheck, RealDatesFollowTheGregorianLeapYears)
{
    EXPECT_TRUE(isRealDate({2000, 2, 29}));
    EXPECT_FALSE(isRealDate({1900, 2, 29}));
    EXPECT_TRUE(isRealDate({2024, 2, 29}));
    EXPECT_FALSE(isRealDate({2023, 2, 29}));
    EXPECT_TRUE(isRealDate({2023, 12, 31}));
    EXPECT_FALSE(isRealDate({2023, 4, 31}));
    EXPECT_FALSE(isRealDate({0, 1, 1}));
}

} // namespace
} // namespace qr::roster
