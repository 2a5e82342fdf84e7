#include "app/store_session.h"

namespace qr::app {

bool renumberStore(RosterStore& store)
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

bool appendStudent(RosterStore& store, const StudentRecord& student)
{
    const std::int32_t before = store.recordCount();
    const std::vector<Value> values = student.storeValues();
    if (store.addRecord(values))
        return true;
    if (store.recordCount() == before + 1 && store.goToRecord(before + 1) && store.deleteRecord())
        store.pack();
    return false;
}

namespace {

// Removes the record just appended at `recordNumber` of the store at `path`.
void undoAppend(std::string_view path, std::int32_t recordNumber)
{
    RosterStore target(path);
    if (target.isOpen() && target.recordCount() == recordNumber && target.goToRecord(recordNumber) &&
        target.deleteRecord())
        target.pack();
}

} // namespace

bool moveStudent(std::string_view fromPath, std::string_view toPath, std::int32_t recordNumber)
{
    StudentRecord student;
    {
        RosterStore source(fromPath);
        if (!source.isOpen() || recordNumber < 1 || recordNumber > source.recordCount() ||
            !source.goToRecord(recordNumber))
            return false;
        bool whole = false;
        student = readCurrentStudent(source, &whole);
        if (!whole)
            return false;  // moving what could be read would lose the rest
    }

    std::int32_t appendedAt = 0;
    {
        RosterStore target(toPath);
        if (!target.isOpen())
            return false;
        appendedAt = target.recordCount() + 1;
        student.number = appendedAt;
        if (!appendStudent(target, student))
            return false;
    }

    RosterStore source(fromPath);
    if (!source.isOpen() || !source.goToRecord(recordNumber) || !source.deleteRecord()) {
        source.close();
        undoAppend(toPath, appendedAt);
        return false;
    }
    // From here the student lives in the target only; a failed pack or renumber
    // leaves numbering gaps, never a lost student.
    source.pack();
    renumberStore(source);
    return true;
}

} // namespace qr::app
