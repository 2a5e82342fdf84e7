// A full consistency check of a store's data file and auxiliary file. It opens the
// files read-only and changes nothing.
#pragma once

#include "store/result_code.h"

#include <string>
#include <string_view>
#include <vector>

namespace qr::store {

struct CheckReport {
    ResultCode openResult = rc::kOk;   // not kOk: the store could not be opened read-only
    std::vector<std::string> problems; // one line each, in English (UTF-8); empty = sound
};

// Counts, every chain well formed and in one piece, the free list sound, no block
// in two chains, no block lost.
CheckReport checkStore(std::string_view fileNameGbk);

} // namespace qr::store
