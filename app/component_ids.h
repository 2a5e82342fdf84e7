// The windows and components the handlers work on, under the code names the window
// catalogue gives them (app/catalogue/*.json; formgen generates the ids). Handlers
// address every component by (window id, id).
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
template <class Form>
constexpr StudentFormIds studentFormIds()
{
    return {Form::kId,
            Form::kName, Form::kSex, Form::kHeight, Form::kWeight, Form::kAge,
            Form::kRegisterNumber, Form::kNationalNumber, Form::kPhoto,
            Form::kBoarding, Form::kDormitory, Form::kBed, Form::kIdCard, Form::kAddress,
            Form::kGuardian1Relation, Form::kGuardian1Name, Form::kGuardian1Phone,
            Form::kGuardian2Relation, Form::kGuardian2Name, Form::kGuardian2Phone,
            Form::kPhotoDialog};
}

inline constexpr StudentFormIds kAddFormIds = studentFormIds<catalogue::AddForm>();
inline constexpr StudentFormIds kModifyFormIds = studentFormIds<catalogue::ModifyForm>();
inline constexpr StudentFormIds kDetailViewIds = studentFormIds<catalogue::DetailView>();

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
