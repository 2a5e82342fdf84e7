// Share modes between handles and processes: who may read or write a store file
// while another handle has it open.
#pragma once

#include "store/env.h"

#include <cstdint>

namespace qr::store {

enum class ShareMode { None, DenyRead, DenyWrite, DenyReadWrite };

// The share mode of open's integer argument: omitted or 1 none, 2 deny read,
// 3 deny write, anything else deny read and write.
ShareMode shareModeFromArgument(bool given, std::int32_t value);

// Claims the file for this handle's access and share mode, or fails with
// kSharingViolation when another handle's claim conflicts. The claim lasts as long
// as the File stays open.
ResultCode claimShareMode(File& file, ShareMode mode);

} // namespace qr::store
