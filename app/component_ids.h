// The windows and components the handlers work on, under the code names the window
// catalogue gives them (app/catalogue/*.json; formgen generates the ids). Handlers
// address every component by (window id, id).
#pragma once

#include "app/catalogue/catalogue.h"
#include "forms/kinds/combo_box_properties.h"
#include "forms/kinds/common_dialog_properties.h"
#include "forms/kinds/edit_box_properties.h"
#include "forms/kinds/picture_box_properties.h"
#include "forms/kinds/report_list_properties.h"
#include "forms/registry/property_numbers.h"
#include "forms/registry/window_properties.h"
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

using start_window = catalogue::StartWindow;
using main_window = catalogue::MainWindow;
using deleted_window = catalogue::DeletedWindow;

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

// The ids of a student form's window type (catalogue::AddForm, ...): each form codes
// its field components alike.
template <class Form> constexpr StudentFormIds studentFormIds()
{
    return {Form::kId,
            Form::kName,
            Form::kSex,
            Form::kHeight,
            Form::kWeight,
            Form::kAge,
            Form::kRegisterNumber,
            Form::kNationalNumber,
            Form::kPhoto,
            Form::kBoarding,
            Form::kDormitory,
            Form::kBed,
            Form::kIdCard,
            Form::kAddress,
            Form::kGuardian1Relation,
            Form::kGuardian1Name,
            Form::kGuardian1Phone,
            Form::kGuardian2Relation,
            Form::kGuardian2Name,
            Form::kGuardian2Phone,
            Form::kPhotoDialog};
}

inline constexpr StudentFormIds kAddFormIds = studentFormIds<catalogue::AddForm>();
inline constexpr StudentFormIds kModifyFormIds = studentFormIds<catalogue::ModifyForm>();
inline constexpr StudentFormIds kDetailViewIds = studentFormIds<catalogue::DetailView>();

// The property numbers the handlers use, as the window and the kinds export them.
namespace property {
using forms::kindPropertyNumber;
inline constexpr int kVisible = forms::common_property::kVisible;
inline constexpr int kWindowCaption = kindPropertyNumber(forms::window_property::kCaption);
inline constexpr int kWindowBackgroundPicture = kindPropertyNumber(forms::window_property::kBackgroundPicture);
inline constexpr int kEditContent = kindPropertyNumber(forms::edit_box_property::kContent);
inline constexpr int kComboContent = kindPropertyNumber(forms::combo_box_property::kContent);
inline constexpr int kComboCurrentItem = kindPropertyNumber(forms::combo_box_property::kCurrentItem);
inline constexpr int kComboItemList = kindPropertyNumber(forms::combo_box_property::kItemList);
inline constexpr int kPicture = kindPropertyNumber(forms::picture_box_property::kPicture);
inline constexpr int kDialogType = kindPropertyNumber(forms::common_dialog_property::kType);
inline constexpr int kDialogFileName = kindPropertyNumber(forms::common_dialog_property::kFileName);
inline constexpr int kDialogInitialFolder = kindPropertyNumber(forms::common_dialog_property::kInitialFolder);
inline constexpr int kListCurrentRow = kindPropertyNumber(forms::report_list_property::kCurrentRow);
} // namespace property

} // namespace qr::app
