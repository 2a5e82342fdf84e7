// The layout of the roster in a spreadsheet: the nineteen column headings of the
// roster workbook (every list column but none for the photo), in list order, and the
// widths of Sheet1's columns. The workbook tool builds the template from this, and
// export and import name their columns by it. Qt-free.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qr::app::roster_sheet {

inline constexpr std::size_t kColumnCount = 19;

// GBK texts; list column k is heading k.
inline constexpr std::array<std::string_view, kColumnCount> kHeadings = {
    "序号",     "姓名",     "性别",     "身高",     "体重",     "年龄",     "学籍辅号",
    "全国学号", "是否住宿", "宿舍号",   "床位号",   "身份证号", "家庭住址", "监护1关系",
    "监护1姓名", "监护1电话", "监护2关系", "监护2姓名", "监护2电话"};

// Column widths of Sheet1 in 1/256 of a character, columns A to S.
inline constexpr std::array<std::uint16_t, kColumnCount> kColumnWidths = {
    1312, 1696, 1184, 1152, 1248, 3072, 3104, 4832, 2304, 1664,
    1664, 4768, 7168, 2432, 2304, 3008, 2304, 2304, 3040};

} // namespace qr::app::roster_sheet
