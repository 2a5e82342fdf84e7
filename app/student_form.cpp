#include "app/student_form.h"

#include "app/app_paths.h"
#include "app/combo_choices.h"
#include "app/large_photo.h"
#include "app/messages.h"
#include "app/store_session.h"
#include "app/student_list.h"
#include "forms/kinds/common_dialog.h"
#include "forms/registry/window_registry.h"
#include "runtime/file_access.h"
#include "runtime/to_number.h"
#include "store/commands.h"

namespace qr::app {

namespace {

Text contentOf(std::uint32_t windowId, std::uint32_t componentId, int propertyNumber)
{
    return forms::readProperty(windowId, componentId, propertyNumber).asText();
}

Text editText(const StudentFormIds& ids, std::uint32_t editId)
{
    return contentOf(ids.window, editId, property::kEditContent);
}

void setEditText(const StudentFormIds& ids, std::uint32_t editId, const Text& text)
{
    forms::writeProperty(ids.window, editId, property::kEditContent, Value::text(text));
}

bool requiredFieldsPresent(const StudentFormIds& ids)
{
    struct Required {
        std::uint32_t id;
        int property;
    };
    const Required required[] = {
        {ids.name, property::kEditContent},
        {ids.sex, property::kComboContent},
        {ids.height, property::kEditContent},
        {ids.weight, property::kEditContent},
        {ids.age, property::kEditContent},
        {ids.registerNumber, property::kEditContent},
        {ids.boarding, property::kComboContent},
        {ids.idCard, property::kEditContent},
        {ids.nationalNumber, property::kEditContent},
        {ids.address, property::kEditContent},
        {ids.guardian1Relation, property::kComboContent},
        {ids.guardian1Name, property::kEditContent},
        {ids.guardian1Phone, property::kEditContent},
    };
    for (const Required& r : required) {
        if (contentOf(ids.window, r.id, r.property).empty())
            return false;
    }
    return true;
}

} // namespace

std::optional<StudentRecord> readValidatedStudent(const StudentFormIds& ids)
{
    if (!requiredFieldsPresent(ids)) {
        notify(text::kIncomplete);
        notify(text::kNumberHint);
        return std::nullopt;
    }
    StudentRecord s;
    s.name = editText(ids, ids.name);
    s.sex = storedTextOfSelection(ids.window, ids.sex, ComboChoices::Sex);
    s.height = runtime::toNumber(Value::text(editText(ids, ids.height)));
    s.weight = runtime::toFloat(Value::text(editText(ids, ids.weight)));
    s.age = editText(ids, ids.age);
    s.registerNumber = editText(ids, ids.registerNumber);
    s.nationalNumber = editText(ids, ids.nationalNumber);
    const Value picture = forms::readProperty(ids.window, ids.photo, property::kPicture);
    if (picture.kind() == runtime::Kind::ByteSet)
        s.photo = picture.asByteSet();
    s.boarding = storedTextOfSelection(ids.window, ids.boarding, ComboChoices::Boarding);
    s.dormitory = editText(ids, ids.dormitory);
    s.bed = editText(ids, ids.bed);
    s.idCard = editText(ids, ids.idCard);
    s.address = editText(ids, ids.address);
    s.guardian1Relation = storedTextOfSelection(ids.window, ids.guardian1Relation, ComboChoices::Relation);
    s.guardian1Name = editText(ids, ids.guardian1Name);
    s.guardian1Phone = editText(ids, ids.guardian1Phone);
    s.guardian2Relation = storedTextOfSelection(ids.window, ids.guardian2Relation, ComboChoices::Relation);
    s.guardian2Name = editText(ids, ids.guardian2Name);
    s.guardian2Phone = editText(ids, ids.guardian2Phone);
    return s;
}

bool studentIsReadable(std::int32_t recordNumber)
{
    RosterStore roster(rosterStorePath());
    return roster.isOpen() && recordNumber >= 1 && recordNumber <= roster.recordCount() &&
           roster.goToRecord(recordNumber);
}

bool showStoredStudent(const StudentFormIds& ids, std::int32_t recordNumber)
{
    StudentRecord s;
    Text heightText, weightText;
    {
        RosterStore roster(rosterStorePath());
        if (!roster.isOpen() || recordNumber < 1 || recordNumber > roster.recordCount() ||
            !roster.goToRecord(recordNumber))
            return false;
        s = readCurrentStudent(roster);
        heightText = readNumberFieldText(roster, field::kHeight);
        weightText = readNumberFieldText(roster, field::kWeight);
    }
    setEditText(ids, ids.name, s.name);
    selectStoredText(ids.window, ids.sex, ComboChoices::Sex, s.sex);
    setEditText(ids, ids.height, heightText);
    setEditText(ids, ids.weight, weightText);
    setEditText(ids, ids.age, s.age);
    setEditText(ids, ids.registerNumber, s.registerNumber);
    setEditText(ids, ids.nationalNumber, s.nationalNumber);
    // An empty photo gives an empty picture: the template's sample must not show.
    forms::writeProperty(ids.window, ids.photo, property::kPicture, Value::byteSet(s.photo));
    selectStoredText(ids.window, ids.boarding, ComboChoices::Boarding, s.boarding);
    setEditText(ids, ids.dormitory, s.dormitory);
    setEditText(ids, ids.bed, s.bed);
    setEditText(ids, ids.idCard, s.idCard);
    setEditText(ids, ids.address, s.address);
    selectStoredText(ids.window, ids.guardian1Relation, ComboChoices::Relation, s.guardian1Relation);
    setEditText(ids, ids.guardian1Name, s.guardian1Name);
    setEditText(ids, ids.guardian1Phone, s.guardian1Phone);
    selectStoredText(ids.window, ids.guardian2Relation, ComboChoices::Relation, s.guardian2Relation);
    setEditText(ids, ids.guardian2Name, s.guardian2Name);
    setEditText(ids, ids.guardian2Phone, s.guardian2Phone);
    return true;
}

void replacePhotoFromFile(const StudentFormIds& ids)
{
    if (!forms::openCommonDialog(ids.window, ids.photoDialog))
        return;
    const Text fileName = contentOf(ids.window, ids.photoDialog, property::kDialogFileName);
    runtime::ByteSet bytes = runtime::readFile(fileName);
    if (bytes.empty())
        return;
    forms::writeProperty(ids.window, ids.photo, property::kPicture, Value::byteSet(photoToKeep(std::move(bytes))));
}

std::int32_t selectedRosterRecord()
{
    if (!forms::isLoaded(kMainWindow))
        return 0;
    return selectedRow(kMainWindow, main_window::kList) + 1;
}

} // namespace qr::app
