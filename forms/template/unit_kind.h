// The component kinds a template can hold, by their stored unit type code
// (library number * 65536 + unit number), and the settings versions each accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qr::forms {

enum class UnitKind : std::uint32_t {
    Window = 0x00010001,
    MenuItem = 0x00010003,
    EditBox = 0x00010005,
    PictureBox = 0x00010006,
    GroupBox = 0x00010009,
    Label = 0x0001000A,
    Button = 0x0001000B,
    ComboBox = 0x0001000E,
    CommonDialog = 0x0001001F,
    ExternalDatabase = 0x0001002E,
    ToolBar = 0x00030003,
    ReportList = 0x00030004,
};

struct UnitKindInfo {
    UnitKind kind;
    std::string_view chineseName; // GBK, e.g. "编辑框"
    std::string_view englishName; // e.g. "EditBox"
    int propertyCount;            // including the eight common properties
    int maxVersion;               // highest settings version accepted; -1: kind has no settings
    bool invisible;               // no screen window (common dialog, external database)
};

// Known kinds; std::nullopt for a code no unit descriptor exists for.
std::optional<UnitKindInfo> unitKindInfo(std::uint32_t unitTypeCode);

} // namespace qr::forms
