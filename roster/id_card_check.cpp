#include "roster/id_card_check.h"

#include <array>
#include <ctime>

namespace qr::roster {

namespace {

constexpr std::array<int, 17> kWeights = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
constexpr std::string_view kCheckCharacters = "10X98765432"; // by the weighted sum mod 11

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text)
{
    for (char c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// Characters, not bytes: a GBK double-byte character counts once.
std::size_t characterCount(std::string_view gbk)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < gbk.size(); ++count)
        i += static_cast<unsigned char>(gbk[i]) >= 0x81 ? 2 : 1;
    return count;
}

int number(std::string_view digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// The birth date's problem, if any; `digits` is YYYYMMDD.
std::optional<std::string> dateProblem(std::string_view digits, const CalendarDate& asOf)
{
    const CalendarDate birth{number(digits.substr(0, 4)), number(digits.substr(4, 2)), number(digits.substr(6, 2))};
    if (!isRealDate(birth))
        return "出生日期 " + std::string(digits) + " 不存在";
    if (birth > asOf)
        return "出生日期 " + std::string(digits) + " 晚于今天";
    return std::nullopt;
}

} // namespace

CalendarDate today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool isRealDate(const CalendarDate& date)
{
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1)
        return false;
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    const int days = date.month == 2 && leap ? 29 : kDays[std::size_t(date.month - 1)];
    return date.day <= days;
}

std::optional<char> idCardCheckCharacter(std::string_view first17)
{
    if (first17.size() != kWeights.size() || !allDigits(first17))
        return std::nullopt;
    int sum = 0;
    for (std::size_t i = 0; i < kWeights.size(); ++i)
        sum += (first17[i] - '0') * kWeights[i];
    return kCheckCharacters[std::size_t(sum % 11)];
}

bool looksLikeNumberCell(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t mantissa = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
    }
    if (i == mantissa || i >= text.size() || (text[i] != 'e' && text[i] != 'E'))
        return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i < text.size() && allDigits(text.substr(i));
}

std::optional<std::string> idCardProblem(std::string_view idCard, const CalendarDate& asOf)
{
    if (idCard.empty())
        return std::nullopt;
    if (looksLikeNumberCell(idCard))
        return "来自数字单元格，后几位已丢失";
    if (idCard.size() == 15) {
        if (!allDigits(idCard))
            return "15位号码应全为数字";
        return dateProblem("19" + std::string(idCard.substr(6, 6)), asOf);
    }
    if (idCard.size() != 18)
        return "应为18位（现为" + std::to_string(characterCount(idCard)) + "个字符）";
    const std::string_view first17 = idCard.substr(0, 17);
    if (!allDigits(first17))
        return "前17位应全为数字";
    if (auto problem = dateProblem(idCard.substr(6, 8), asOf))
        return problem;
    const char expected = *idCardCheckCharacter(first17);
    if (idCard[17] != expected)
        return std::string("校验位应为 ") + expected;
    return std::nullopt;
}

} // namespace qr::roster
