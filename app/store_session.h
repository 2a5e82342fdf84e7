// Store work as the handlers do it: a store is opened for one piece of work and
// closed again before anything else happens (app/roster_store.h).
#pragma once

#include "app/roster_store.h"
#include "app/student_record.h"

#include <string_view>

namespace qr::app {

// Gives every record of the store its record number as 序号 (1, 2, 3 ...), leaving
// the other nineteen fields as they are. False when a change failed.
bool renumberStore(RosterStore& store);

// Appends the student to the store. When the add fails after it already appended a
// record (the photo could not be written, say), that record is taken out again, so
// a failure leaves the store as it was.
bool appendStudent(RosterStore& store, const StudentRecord& student);

// Moves the student at `recordNumber` of one store to the end of the other, with
// 序号 = the target's record count + 1, then removes it from the source and
// renumbers the source. The student is appended to the target first and leaves
// the source only once that append succeeded; when anything fails before the
// source lost the student, the target is put back as it was and the result is
// false with both stores unchanged.
bool moveStudent(std::string_view fromPath, std::string_view toPath, std::int32_t recordNumber);

} // namespace qr::app
