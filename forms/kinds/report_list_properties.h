// The report list's own properties: the six blocks (font, three image lists, columns,
// initial rows) around the 24 stored settings, whose position k (0-based) serves
// index kFirstSetting + k.
// As kind indexes: the property number is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::report_list_property {

enum Index : int {
    kFont,
    kHeaderImages,
    kNormalImages,
    kColumns,
    kStateImages,
    kFirstSetting = 5,
    kLastSetting = kFirstSetting + 23,
    kInitialRows,
    kReserved
};

// Positions among the stored settings that the list handles apart from the others.
enum SettingPosition : int {
    kBorderStyleSetting = 0,
    kTextColourSetting = 1,
    kTextBackgroundColourSetting = 2,
    kBackgroundColourSetting = 3,
    kListTypeSetting = 4,
    kSortOrderSetting = 18,
    kCurrentRowSetting = 22,
};

// The first selected row, -1 when none (property 35).
inline constexpr int kCurrentRow = int(kFirstSetting) + int(kCurrentRowSetting);

} // namespace qr::forms::report_list_property
