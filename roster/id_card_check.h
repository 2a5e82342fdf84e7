// Whether a text can be a resident identity-card number: 18 characters (17 digits
// and a check character over them by ISO 7064 MOD 11-2) or the older 15 digits,
// with a birth date that exists and has come. Qt-free; texts are GBK bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qr::roster {

struct CalendarDate {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

// The local date of the machine.
CalendarDate today();

bool isRealDate(const CalendarDate& date);

// The check character ('0'..'9' or 'X') for the first 17 characters, which must be
// digits; nothing otherwise.
std::optional<char> idCardCheckCharacter(std::string_view first17);

// True when the text reads as a number in exponent form ("1.101051949123e+17"):
// what a long number cell of a spreadsheet turns into, its digits gone.
bool looksLikeNumberCell(std::string_view text);

// Why `idCard` is no identity-card number, as a short GBK phrase for the teacher
// ("校验位应为 X"); nothing when it passes. An empty text passes: whether the field
// may be empty is the caller's question. `asOf` is the day a birth date may not
// come after.
std::optional<std::string> idCardProblem(std::string_view idCard, const CalendarDate& asOf);
inline std::optional<std::string> idCardProblem(std::string_view idCard) { return idCardProblem(idCard, today()); }

} // namespace qr::roster
