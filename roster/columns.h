// The roster's columns: every field but the photo, in field order. The main and
// recycle lists show them, the roster workbook's Sheet1 holds them (and the store
// tool's CSV files), export and import name them by their headings. Qt-free.
#pragma once

#include "roster/student_fields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qr::roster {

inline constexpr std::size_t kColumnCount = 19;

// The field (number) shown in column k.
constexpr int columnField(std::size_t column)
{
    return column < field::indexOf(field::kPhoto) ? int(column) + 1 : int(column) + 2;
}

// The workbook headings (GBK), column k first: the names of the fields.
inline constexpr std::array<std::string_view, kColumnCount> kHeadings = [] {
    std::array<std::string_view, kColumnCount> headings{};
    for (std::size_t k = 0; k < kColumnCount; ++k)
        headings[k] = describe(columnField(k)).nameGbk;
    return headings;
}();

// The titles of the lists' columns (GBK) as the window catalogue gives them: the
// headings, but the guardians' columns say 监护人 where the fields say 监护.
inline constexpr std::array<std::string_view, kColumnCount> kListTitles = {
    "序号",        "姓名",        "性别",        "身高",        "体重",       "年龄",     "学籍辅号",
    "全国学号",    "是否住宿",    "宿舍号",      "床位号",      "身份证号",   "家庭住址", "监护人1关系",
    "监护人1姓名", "监护人1电话", "监护人2关系", "监护人2姓名", "监护人2电话"};

// Column widths of the workbook's Sheet1 in 1/256 of a character, columns A to S.
inline constexpr std::array<std::uint16_t, kColumnCount> kSheetColumnWidths = {
    1312, 1696, 1184, 1152, 1248, 3072, 3104, 4832, 2304, 1664, 1664, 4768, 7168, 2432, 2304, 3008, 2304, 2304, 3040};

} // namespace qr::roster
