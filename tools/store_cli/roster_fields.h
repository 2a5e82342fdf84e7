// The twenty fields of a student record in store order, the store layout that
// create-roster gives them, and the nineteen workbook headings (every field but the
// photo) that CSV files use.
#pragma once

#include "store/commands.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace qr::tools {

inline constexpr std::size_t kRosterFieldCount = 20;
inline constexpr std::size_t kPhotoField = 8;   // 0-based: 照片
inline constexpr std::size_t kSerialField = 0;  // 序号
inline constexpr std::size_t kHeightField = 3;  // 身高
inline constexpr std::size_t kWeightField = 4;  // 体重

struct RosterField {
    std::string_view nameGbk;
    store::FieldType type;
    std::int32_t width;  // text fields only
};

const std::array<RosterField, kRosterFieldCount>& rosterFields();

// The workbook headings in column order; heading k names field headingField(k).
inline constexpr std::size_t kHeadingCount = 19;
std::size_t headingField(std::size_t heading);

// Whether the store's fields can hold a student record: the twenty names in order,
// numbers where numbers go, a byte set for the photo, text or memo elsewhere. On
// failure, why not (UTF-8, one line).
bool isRosterLayout(const store::StoreInfo& info, std::string& why);

} // namespace qr::tools
