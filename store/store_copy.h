// Byte-for-byte copies of store files, taken while the store's own locks keep every
// other handle from changing them: what backups are made of.
#pragma once

#include "store/env.h"

#include <span>
#include <string>
#include <string_view>

namespace qr::store {

// Copies every byte of `source` into a new file at `targetPath` (GBK), which must not
// exist yet, through the store's Env. The caller holds whatever locks keep the
// source still. On failure the partial target is removed again.
ResultCode copyFileTo(File& source, std::string_view targetPath);

struct StoreFilesCopy {
    std::string storeName; // a store open in this process, named as open was given it
    std::string dataCopy;  // GBK path of the data file's copy
    std::string auxCopy;   // GBK path of the auxiliary file's copy, when the store has one
};

// Copies the data and auxiliary files of stores open in this process. An exclusive
// section is entered on every one of them, in the order given, before the first byte
// is copied, and left only after the last, so the copies show one moment of all of
// them: another handle's command waits for the sections (or fails on them) as it
// would for a pack. Entering waits under the lock retry time-out, at least 2000 ms.
// A read-only handle's section takes shared locks, which keep writers out all the
// same. Logical result; the last-error slot gets the first failure (kStoreNotOpen
// when a name is not open). Copies already written stay on failure; the caller
// throws the set away.
bool copyOpenStores(std::span<const StoreFilesCopy> copies);

} // namespace qr::store
