// The modify form: the selected student's fields, saved in place with its 序号.
#include "app/app_paths.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/id_card_hint.h"
#include "app/messages.h"
#include "app/store_session.h"
#include "app/student_form.h"
#include "store/commands.h"

#include <cmath>

namespace qr::app {

namespace {

// Rewrites record `record` of the roster with `student`, keeping its 序号.
bool saveInPlace(StudentRecord student, std::int32_t record)
{
    RosterStore roster(rosterStorePath());
    if (!roster.isOpen() || record < 1 || record > roster.recordCount() || !roster.goToRecord(record))
        return false;
    student.number = readCurrentStudent(roster).number;
    const std::vector<Value> values = student.storeValues();
    return roster.changeRecord(values);
}

} // namespace

void openModifyForm()
{
    const std::int32_t record = selectedRosterRecord();
    if (record == 0) {
        notify(text::kNothingToModify);
        return;
    }
    if (!studentIsReadable(record)) {
        notify(text::kCannotRead, flags::kIconExclamation);
        return;
    }
    forms::loadWindow(kModifyForm, std::nullopt, true);
}

Value modifyFormLoaded(const Event&)
{
    if (!showStoredStudent(kModifyFormIds, selectedRosterRecord())) {
        notify(text::kCannotRead, flags::kIconExclamation);
        forms::destroyWindow(kModifyForm);
        return {};
    }
    watchIdCardBox(kModifyFormIds.window, kModifyFormIds.idCard);
    return {};
}

Value modifyFormReplacePhoto(const Event&)
{
    replacePhotoFromFile(kModifyFormIds);
    return {};
}

Value modifyFormSave(const Event&)
{
    const std::optional<StudentRecord> student = readValidatedStudent(kModifyFormIds);
    if (!student)
        return {};
    if (!saveInPlace(*student, selectedRosterRecord())) {
        notify(text::kNotSaved, flags::kIconExclamation);
        return {};
    }
    showAll();
    notify(text::kModified);
    return {};
}

Value modifyFormReturn(const Event&)
{
    forms::destroyWindow(kModifyForm);
    return {};
}

} // namespace qr::app
