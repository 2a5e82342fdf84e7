// What the add form, the modify form and the detail view share: reading a
// validated student out of the field components, showing a stored student in
// them, and replacing the photo from a file the teacher picks.
#pragma once

#include "app/component_ids.h"
#include "app/student_record.h"

#include <optional>

namespace qr::app {

// Checks that the thirteen required fields hold something (blanks count), in form
// order; when one is empty shows the two hints and gives nothing. Otherwise the
// student as the form holds it, 序号 left 0: 身高 as a double and 体重 as a float
// by the text-to-number rule, texts as typed, the four choices as stored texts.
std::optional<StudentRecord> readValidatedStudent(const StudentFormIds& ids);

// Fills the form from record `recordNumber` of the roster store. False, with the
// form untouched, when the store cannot be opened or holds no such record.
bool showStoredStudent(const StudentFormIds& ids, std::int32_t recordNumber);

// True when the roster store opens and holds record `recordNumber`.
bool studentIsReadable(std::int32_t recordNumber);

// Asks for a picture file; a confirmed file that yields bytes becomes the photo.
// A cancelled dialog (or a file that cannot be read) leaves the photo as it was. A
// large picture file may be kept shrunk (app/large_photo.h).
void replacePhotoFromFile(const StudentFormIds& ids);

// The main list's selected row as a record number (row + 1), or 0 when no listed
// row is selected or the main window is gone.
std::int32_t selectedRosterRecord();

} // namespace qr::app
