// The words a student record holds for 性别 and the guardians' relations: the texts
// the forms store for their fixed items and the ones an import is checked against.
// Qt-free.
#pragma once

#include <array>
#include <string_view>

namespace qr::roster {

inline constexpr std::array<std::string_view, 2> kSexTexts = {"男", "女"};
inline constexpr std::array<std::string_view, 2> kBoardingTexts = {"是", "否"};
// In the order of the forms' relation lists.
inline constexpr std::array<std::string_view, 11> kRelationTexts = {"父亲", "母亲", "祖父", "祖母", "外公", "外婆",
                                                                    "叔父", "姑母", "舅父", "姨母", "其他"};

template <std::size_t N> constexpr bool isOneOf(const std::array<std::string_view, N>& texts, std::string_view text)
{
    for (std::string_view t : texts) {
        if (t == text)
            return true;
    }
    return false;
}

} // namespace qr::roster
