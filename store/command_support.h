// Pieces shared by the command files: the last-error slot, the record count under
// the header lock, condition evaluation and working buffers.
#pragma once

#include "store/commands.h"
#include "store/store_table.h"

#include <cstdint>
#include <vector>

namespace qr::store::detail {

// Sets the calling thread's last-error slot; returns code == 0.
bool finish(ResultCode code);
void clearLastError();

// The record count read fresh under the header-byte lock; the lock waits at least
// 2000 ms so that a count taken while another process appends does not fail at once.
ResultCode countRecords(StoreHandle& store, std::int32_t& count);

// A writing command's transaction (store/journal.h). beginWrite takes the writer
// lock before any other lock of the command and rolls back a hot journal it finds;
// endWrite commits, and must run while the command's locks still protect what it
// wrote. The command's own result comes first; a failed commit (the command's
// writes undone) is reported when the command itself succeeded.
ResultCode beginWrite(StoreHandle& store);
ResultCode endWrite(StoreHandle& store, ResultCode result);
// Before a command's first write: the data file's header and the bytes at
// [position, position + size), and the auxiliary file's header, kept in the journal
// with one sync (what the command would otherwise sync write by write).
ResultCode preserveForRecord(StoreHandle& store, std::int64_t position, std::int64_t size);

// A logical used as is, or a sub-statement run for the record under test.
bool evaluateCondition(const Condition& condition);

// Reads the status word of the record at `position` (its lock held by the caller):
// nothing there means no current record, a partial word a failed record read.
ResultCode readStatusWordAt(StoreHandle& store, std::int64_t position, std::int32_t& statusWord);

// A zeroed buffer, or kOutOfMemory instead of an exception.
ResultCode allocate(std::vector<std::uint8_t>& buffer, std::size_t size);

// Records that pack and conditional delete move at once.
std::int64_t batchRecords(std::int32_t recordLength);

} // namespace qr::store::detail
