// Store access as the handlers use it: a store is opened for one piece of work
// and closed again before anything else happens, so at most one store is open.
#pragma once

#include "app/student_record.h"

#include <string_view>

namespace qr::app {

// Opens a store (path alone: no alias, password or index, default access and
// share mode) and closes it when the scope ends.
class OpenStore {
public:
    explicit OpenStore(std::string_view path);
    ~OpenStore();
    OpenStore(const OpenStore&) = delete;
    OpenStore& operator=(const OpenStore&) = delete;

    bool isOpen() const { return open_; }
    // Closes it now (a second close is harmless).
    void close();

private:
    bool open_ = false;
};

// Gives every record of the open store its record number as 序号 (1, 2, 3 ...),
// leaving the other nineteen fields as they are. False when a change failed.
bool renumberOpenStore();

// Appends the student to the open store. When the add fails after it already
// appended a record (the photo could not be written, say), that record is taken
// out again, so a failure leaves the store as it was.
bool appendStudent(const StudentRecord& student);

// Moves the student at `recordNumber` of one store to the end of the other, with
// 序号 = the target's record count + 1, then removes it from the source and
// renumbers the source. The student is appended to the target first and leaves
// the source only once that append succeeded; when anything fails before the
// source lost the student, the target is put back as it was and the result is
// false with both stores unchanged.
bool moveStudent(std::string_view fromPath, std::string_view toPath, std::int32_t recordNumber);

} // namespace qr::app
