#include "app/roster_replace.h"

#include "app/store_session.h"
#include "runtime/to_number.h"
#include "store/commands.h"

namespace qr::app {

using runtime::Value;

std::vector<Value> storeValuesOfRow(const SheetRow& row)
{
    std::vector<Value> values;
    values.reserve(20);
    values.push_back(Value::doubleFloat(runtime::toNumber(Value::text(row[0]))));
    values.push_back(Value::text(row[1]));
    values.push_back(Value::text(row[2]));
    values.push_back(Value::doubleFloat(runtime::toNumber(Value::text(row[3]))));
    values.push_back(Value::floating(runtime::toFloat(Value::text(row[4]))));
    for (std::size_t c = 5; c <= 7; ++c)
        values.push_back(Value::text(row[c]));
    values.push_back(Value::byteSet({}));
    for (std::size_t c = 8; c < row.size(); ++c)
        values.push_back(Value::text(row[c]));
    return values;
}

namespace {

// Marks records first..last deleted; false when any mark failed.
bool markRange(RosterStore& roster, std::int32_t first, std::int32_t last)
{
    bool all = true;
    for (std::int32_t k = first; k <= last; ++k)
        all = roster.goToRecord(k) && roster.deleteRecord() && all;
    return all;
}

bool replaceIn(RosterStore& roster, const std::vector<SheetRow>& rows)
{
    const std::int32_t oldCount = roster.recordCount();

    for (const SheetRow& row : rows) {
        if (!roster.addRecord(storeValuesOfRow(row))) {
            // Whatever got appended (a failed add may have left its record behind)
            // goes again; the old students were never touched.
            if (markRange(roster, oldCount + 1, roster.recordCount()))
                roster.pack();
            return false;
        }
    }
    // Every new student is in: only now do the old ones go. A failed mark leaves
    // the store unpacked, so no student is lost, old or new.
    if (!markRange(roster, 1, oldCount))
        return false;
    return oldCount == 0 || roster.pack();
}

} // namespace

bool replaceStoreContent(std::string_view path, const std::vector<SheetRow>& rows)
{
    RosterStore roster(path);
    if (!roster.isOpen())
        return false;
    // The whole replacement is one unit: a crash leaves the old roster or the new,
    // and it costs one commit instead of one per row.
    (void)roster.beginUnit(); // a store that cannot start one still does the work
    const bool replaced = replaceIn(roster, rows);
    return roster.endUnit() && replaced;
}

} // namespace qr::app
