#include "app/store_session.h"

#include <optional>

namespace qr::app {

namespace {
bool renumberEach(RosterStore& store);
bool appendOnce(RosterStore& store, const StudentRecord& student);
} // namespace

bool renumberStore(RosterStore& store)
{
    // One commit for all the changes; a crash leaves the old numbers or the new.
    (void)store.beginUnit(); // a store that cannot start one still does the work
    const bool changed = renumberEach(store);
    return store.endUnit() && changed;
}

bool appendStudent(RosterStore& store, const StudentRecord& student)
{
    // A crash while a failed add is taken out again leaves the store as it was.
    (void)store.beginUnit(); // a store that cannot start one still does the work
    const bool appended = appendOnce(store, student);
    return store.endUnit() && appended;
}

namespace {

bool renumberEach(RosterStore& store)
{
    const std::int32_t count = store.recordCount();
    bool allChanged = true;
    for (std::int32_t k = 1; k <= count; ++k) {
        if (!store.goToRecord(k)) {
            allChanged = false;
            continue;
        }
        // Value() leaves fields 2 to 20 exactly as they are: only 序号 changes.
        std::vector<Value> values(field::kCount);
        values[0] = Value::integer(k);
        allChanged = store.changeRecord(values) && allChanged;
    }
    return allChanged;
}

bool appendOnce(RosterStore& store, const StudentRecord& student)
{
    const std::int32_t before = store.recordCount();
    const std::vector<Value> values = student.storeValues();
    if (store.addRecord(values))
        return true;
    if (store.recordCount() == before + 1 && store.goToRecord(before + 1) && store.deleteRecord())
        store.pack();
    return false;
}

// The steps of a move, each with the store it needs opened for it alone.

// 1. The student as the source holds it, or nothing when any field could not be
//    read: moving what could be read would lose the rest.
std::optional<StudentRecord> readWholeStudent(std::string_view sourcePath, std::int32_t recordNumber)
{
    RosterStore source(sourcePath);
    if (!source.isOpen() || recordNumber < 1 || recordNumber > source.recordCount() || !source.goToRecord(recordNumber))
        return std::nullopt;
    bool whole = false;
    StudentRecord student = readCurrentStudent(source, &whole);
    if (!whole)
        return std::nullopt;
    return student;
}

// 2. Appended after the target's last record and numbered so; the record number it
//    got, or 0 when the target is as it was.
std::int32_t appendToTarget(std::string_view targetPath, StudentRecord student)
{
    RosterStore target(targetPath);
    if (!target.isOpen())
        return 0;
    const std::int32_t appendedAt = target.recordCount() + 1;
    student.number = appendedAt;
    return appendStudent(target, student) ? appendedAt : 0;
}

// 3. Marked deleted in the source, now that the target holds it.
bool markDeletedInSource(RosterStore& source, std::int32_t recordNumber)
{
    return source.isOpen() && source.goToRecord(recordNumber) && source.deleteRecord();
}

// When step 3 fails: the record appended in step 2 goes again, and both stores are
// as they were.
void undoAppend(std::string_view targetPath, std::int32_t recordNumber)
{
    RosterStore target(targetPath);
    if (target.isOpen() && target.recordCount() == recordNumber && target.goToRecord(recordNumber) &&
        target.deleteRecord())
        target.pack();
}

// 4. The source without its gap. The student lives in the target only by now; a
//    failed pack or renumber leaves numbering gaps, never a lost student.
void closeSourceGap(RosterStore& source)
{
    source.pack();
    renumberStore(source);
}

} // namespace

bool moveStudent(std::string_view fromPath, std::string_view toPath, std::int32_t recordNumber)
{
    const std::optional<StudentRecord> student = readWholeStudent(fromPath, recordNumber);
    if (!student)
        return false;
    const std::int32_t appendedAt = appendToTarget(toPath, *student);
    if (appendedAt == 0)
        return false;
    // The source's part is one unit: a crash before it is committed leaves the
    // student in both stores, which can be cleared up by hand, and never in none.
    // (The two stores cannot share one commit: each has its own journal.)
    RosterStore source(fromPath);
    (void)source.beginUnit();
    if (!markDeletedInSource(source, recordNumber)) {
        (void)source.endUnit();
        source.close();
        undoAppend(toPath, appendedAt);
        return false;
    }
    closeSourceGap(source);
    // Not committed means not removed: the student is then in both stores.
    return source.endUnit();
}

} // namespace qr::app
