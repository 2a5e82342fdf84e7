// Component and menu-item ids of the windows the handlers work on, as the window
// catalogue assigns them. Handlers address every component by (window id, id).
#pragma once

#include "app/catalogue/catalogue.h"
#include "forms/template/ids.h"

#include <cstdint>

namespace qr::app {

using catalogue::kAboutWindow;
using catalogue::kAddForm;
using catalogue::kDeletedWindow;
using catalogue::kDetailView;
using catalogue::kMainWindow;
using catalogue::kModifyForm;
using catalogue::kStartWindow;

// The component id of a window's own record (its caption, visibility, picture).
inline constexpr std::uint32_t windowComponent(std::uint32_t windowId) { return forms::windowRecordId(windowId); }

namespace start_window {
inline constexpr std::uint32_t kClassEdit = 0x160100D3;   // 编辑框_班级
inline constexpr std::uint32_t kConfirmButton = 0x160100D5; // 按钮_确定
inline constexpr std::uint32_t kTrayMenu = 0x2601039E;    // 系统开关
inline constexpr std::uint32_t kTrayOpen = 0x2601039F;    // 打开
inline constexpr std::uint32_t kTrayClose = 0x260103A0;   // 关闭
} // namespace start_window

namespace main_window {
inline constexpr std::uint32_t kList = 0x160100D1;        // 超级列表框1
inline constexpr std::uint32_t kToolbar = 0x160100D0;     // 工具条1
inline constexpr std::uint32_t kRowMenu = 0x26010279;     // 信息维护
inline constexpr std::uint32_t kMenuView = 0x2601027A;    // 信息查询
inline constexpr std::uint32_t kMenuModify = 0x2601027B;  // 信息修改
inline constexpr std::uint32_t kMenuDelete = 0x2601027C;  // 删除该生
inline constexpr std::uint32_t kShowAllButton = 0x160100FA;   // 按钮_显示全部
inline constexpr std::uint32_t kAddButton = 0x160100F9;       // 按钮_信息添加
inline constexpr std::uint32_t kModifyButton = 0x160100F7;    // 按钮_信息修改
inline constexpr std::uint32_t kDeleteButton = 0x160100F3;    // 按钮_删除选中行
inline constexpr std::uint32_t kViewButton = 0x160102C1;      // 按钮_信息查询
inline constexpr std::uint32_t kDeletedButton = 0x160103B3;   // 按钮_删除查询
inline constexpr std::uint32_t kClearButton = 0x160100F4;     // 按钮_清空数据库
inline constexpr std::uint32_t kFileDialog = 0x1601010D;      // 通用对话框1
inline constexpr std::uint32_t kSpreadsheet = 0x1601010C;     // 外部数据库1
} // namespace main_window

namespace deleted_window {
inline constexpr std::uint32_t kList = 0x160103D5;        // 超级列表框1
inline constexpr std::uint32_t kToolbar = 0x160103D4;     // 工具条1
} // namespace deleted_window

// The nineteen field components and the photo dialog of one student form. The
// add form, the modify form and the detail view carry the same names.
struct StudentFormIds {
    std::uint32_t window;
    std::uint32_t name, sex, height, weight, age, registerNumber, nationalNumber, photo;
    std::uint32_t boarding, dormitory, bed, idCard, address;
    std::uint32_t guardian1Relation, guardian1Name, guardian1Phone;
    std::uint32_t guardian2Relation, guardian2Name, guardian2Phone;
    std::uint32_t photoDialog;
};

inline constexpr StudentFormIds kAddFormIds{
    kAddForm,
    0x16010055, 0x1601004F, 0x16010053, 0x16010051, 0x1601004E, 0x1601003F, 0x16010042, 0x1601004A,
    0x1601004C, 0x16010047, 0x16010049, 0x16010045, 0x16010041,
    0x16010060, 0x16010061, 0x1601005F,
    0x1601005D, 0x1601005A, 0x16010058,
    0x16010096};

inline constexpr StudentFormIds kModifyFormIds{
    kModifyForm,
    0x16010195, 0x1601018F, 0x16010193, 0x16010191, 0x1601018E, 0x1601017E, 0x16010181, 0x1601018A,
    0x1601018C, 0x16010186, 0x16010188, 0x16010184, 0x16010180,
    0x160101A0, 0x160101A1, 0x1601019F,
    0x1601019D, 0x1601019B, 0x16010199,
    0x16010189};

inline constexpr StudentFormIds kDetailViewIds{
    kDetailView,
    0x160101C1, 0x160101BB, 0x160101BF, 0x160101BD, 0x160101BA, 0x160101AA, 0x160101AD, 0x160101B6,
    0x160101B8, 0x160101B2, 0x160101B4, 0x160101B0, 0x160101AC,
    0x160101CC, 0x160101CD, 0x160101CB,
    0x160101C9, 0x160101C7, 0x160101C5,
    0x160101B5};

// Property numbers the handlers use.
namespace property {
inline constexpr int kVisible = 5;
inline constexpr int kWindowCaption = 8;
inline constexpr int kWindowBackgroundPicture = 11;
inline constexpr int kEditContent = 8;
inline constexpr int kComboContent = 9;
inline constexpr int kComboCurrentItem = 19;
inline constexpr int kComboItemList = 20;
inline constexpr int kPicture = 10;
inline constexpr int kDialogFileName = 10;
inline constexpr int kListCurrentRow = 35;
} // namespace property

} // namespace qr::app
