// Mends a store in place without losing a record: the data file cut to its counted
// records (as a writable open does), serial numbers made to rise in file order, the
// next serial number above them all, and every byte-set and memo value in a sound
// chain of its own (chain_mend.h says how). It then runs the consistency check, and
// whatever that still finds is what could not be mended.
//
// Contract: the caller holds the store exclusively (no other handle has it open and
// none can open it meanwhile) and has copied the files if the repair must be
// undoable; this library takes no locks of its own. The files are rewritten in
// place and synced at the end; a repair cut off part-way leaves a store that a
// second repair takes on from where it stands.
#pragma once

#include "store/result_code.h"

#include <string>
#include <string_view>
#include <vector>

namespace qr::store {

struct RepairReport {
    ResultCode openResult = rc::kOk;   // not kOk: the files could not be read; nothing changed
    ResultCode writeResult = rc::kOk;  // not kOk: a write failed part-way
    std::vector<std::string> fixes;    // what was changed, one line each (English, UTF-8)
    std::vector<std::string> notes;    // what the repair leaves to a person, such as a student listed twice
    ResultCode checkResult = rc::kOk;  // not kOk: the check afterwards could not open the store
    std::vector<std::string> unmended; // what the consistency check still finds afterwards
};

RepairReport repairStore(std::string_view fileNameGbk);

} // namespace qr::store
