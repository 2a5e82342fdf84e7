// The add form: sample contents, a photo, validation and appending a new student.
#include "app/app_paths.h"
#include "app/catalogue/catalogue.h"
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/id_card_hint.h"
#include "app/messages.h"
#include "app/store_session.h"
#include "app/student_form.h"
#include "runtime/delay.h"
#include "store/commands.h"

#include <cmath>

namespace qr::app {

namespace {

constexpr const StudentFormIds& ids = kAddFormIds;
constexpr double kSameNumberTolerance = 1e-7;

enum class AddOutcome { Added, DuplicateIdCard, Failed };

AddOutcome appendNewStudent(StudentRecord student)
{
    RosterStore roster(rosterStorePath());
    if (!roster.isOpen())
        return AddOutcome::Failed;
    std::int32_t number = roster.recordCount() + 1;

    const Text& idCard = student.idCard;
    if (roster.find(store::SubStatement(
            [&roster, &idCard] { return Value::logical(readTextField(roster, field::kIdCard) == idCard); })))
        return AddOutcome::DuplicateIdCard;

    // A record already numbered count + 1 (an imported roster numbers itself) moves
    // the new student one further; only once, as the numbers need not be unique.
    const double candidate = number;
    if (roster.find(store::SubStatement([&roster, candidate] {
            return Value::logical(std::fabs(readNumberField(roster, field::kNumber) - candidate) <=
                                  kSameNumberTolerance);
        })))
        ++number;

    student.number = number;
    return appendStudent(roster, student) ? AddOutcome::Added : AddOutcome::Failed;
}

void clearEdit(std::uint32_t editId)
{
    forms::writeProperty(ids.window, editId, property::kEditContent, Value::text(""));
}

void clearChoice(std::uint32_t comboId)
{
    forms::writeProperty(ids.window, comboId, property::kComboCurrentItem, Value::integer(-1));
}

} // namespace

Value addFormSampleNotice(const Event&)
{
    watchIdCardBox(ids.window, ids.idCard);
    runtime::delay(300);
    notify(text::kSampleNotice, flags::kIconInformation, text::kSampleNoticeTitle);
    return {};
}

Value addFormClearSample(const Event&)
{
    clearEdit(ids.name);
    clearChoice(ids.sex);
    clearEdit(ids.height);
    clearEdit(ids.weight);
    clearEdit(ids.age);
    clearEdit(ids.registerNumber);
    clearChoice(ids.boarding);
    clearEdit(ids.dormitory);
    clearEdit(ids.bed);
    clearEdit(ids.height);
    clearEdit(ids.idCard);
    clearEdit(ids.nationalNumber);
    clearEdit(ids.address);
    const auto placeholder = catalogue::placeholderPhotoBytes();
    forms::writeProperty(ids.window, ids.photo, property::kPicture,
                         Value::byteSet(runtime::ByteSet(placeholder.begin(), placeholder.end())));
    clearChoice(ids.guardian1Relation);
    clearEdit(ids.guardian1Name);
    clearEdit(ids.guardian1Phone);
    clearChoice(ids.guardian2Relation);
    clearEdit(ids.guardian2Name);
    clearEdit(ids.guardian2Phone);
    return {};
}

Value addFormInsertPhoto(const Event&)
{
    replacePhotoFromFile(ids);
    return {};
}

Value addFormSave(const Event&)
{
    const std::optional<StudentRecord> student = readValidatedStudent(ids);
    if (!student)
        return {};
    switch (appendNewStudent(*student)) {
    case AddOutcome::DuplicateIdCard: notify(text::kDuplicateIdCard, flags::kIconExclamation); return {};
    case AddOutcome::Added:
        showAll();
        notify(text::kAdded);
        return {};
    case AddOutcome::Failed:
        // Nothing was written, so the list is still right.
        notify(text::kNotSaved, flags::kIconExclamation);
        return {};
    }
    return {};
}

Value addFormReturn(const Event&)
{
    forms::destroyWindow(kAddForm);
    return {};
}

} // namespace qr::app
