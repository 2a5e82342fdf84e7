// Holds a store's files against every other handle, in this process or another:
// the share-mode claim of a "deny read and write" open, without opening the store
// through the engine (whose writable open would already change a damaged store).
#pragma once

#include "store/env.h"

#include <memory>
#include <string>

namespace qr::tools {

class StoreHold {
public:
    // Data file and, when it exists, auxiliary file (GBK paths). 0, or
    // kSharingViolation when another handle has either open after waitMs, or the
    // code of the failure to open.
    store::ResultCode take(const std::string& dataPathGbk, const std::string& auxPathGbk, std::int32_t waitMs);
    void release();

private:
    std::unique_ptr<store::File> data_;
    std::unique_ptr<store::File> aux_;
};

} // namespace qr::tools
