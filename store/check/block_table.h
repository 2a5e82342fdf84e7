// The block headers of an auxiliary file read into memory in one sequential pass, so
// that chain walks (the checker's and the repair's) follow links without file reads.
#pragma once

#include "store/check/chain_audit.h"
#include "store/check/raw_file.h"
#include "store/result_code.h"

#include <cstdint>
#include <vector>

namespace qr::store::check {

// blocks[n] for n in 0 .. blockCount-1 (blocks[0] stays empty); the file must hold
// them all, else kAuxAccessFailed.
ResultCode readBlockTable(const RawFile& aux, std::int32_t blockCount, std::vector<BlockInfo>& blocks);

} // namespace qr::store::check
