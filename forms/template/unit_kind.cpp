#include "forms/template/unit_kind.h"

#include <array>

namespace qr::forms {
namespace {

constexpr std::array kKinds = {
    UnitKindInfo{UnitKind::Window, "窗口", "window", 32, 6, false},
    UnitKindInfo{UnitKind::MenuItem, "菜单", "menu", 4, -1, false},
    UnitKindInfo{UnitKind::EditBox, "编辑框", "EditBox", 29, 2, false},
    UnitKindInfo{UnitKind::PictureBox, "图片框", "PicBox", 15, 2, false},
    UnitKindInfo{UnitKind::GroupBox, "分组框", "GroupBox", 13, 1, false},
    UnitKindInfo{UnitKind::Label, "标签", "Label", 29, 2, false},
    UnitKindInfo{UnitKind::Button, "按钮", "Button", 14, 1, false},
    UnitKindInfo{UnitKind::ComboBox, "组合框", "ComboBox", 25, 3, false},
    UnitKindInfo{UnitKind::CommonDialog, "通用对话框", "CommonDlg", 30, 1, true},
    UnitKindInfo{UnitKind::ExternalDatabase, "外部数据库", "ODBCDB", 8, -1, true},
    UnitKindInfo{UnitKind::ToolBar, "工具条", "ToolBar", 20, 1, false},
    UnitKindInfo{UnitKind::ReportList, "超级列表框", "ListView", 39, 1, false},
};

} // namespace

std::optional<UnitKindInfo> unitKindInfo(std::uint32_t unitTypeCode)
{
    for (const auto& info : kKinds)
        if (std::uint32_t(info.kind) == unitTypeCode)
            return info;
    return std::nullopt;
}

} // namespace qr::forms
