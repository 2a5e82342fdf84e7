// The record-store commands that the application calls. They work on the
// process-wide store table and its current store; every command sets the calling
// thread's last-error slot to 0 on entry and to its result code on exit, and a
// command with a logical result returns true exactly when that code is 0.
//
// Texts (file names, aliases, field names, field values) are GBK bytes.
// Record numbers and field numbers are 1-based.
#pragma once

#include "runtime/value.h"
#include "store/result_code.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qr::store {

using runtime::Value;

enum class FieldType : std::uint32_t {
    Byte = 1,
    Short = 2,
    Integer = 3,
    Long = 4,
    Float = 5,
    Double = 6,
    Logical = 7,
    DateTime = 8,
    SubprogramPointer = 9,
    Text = 10,
    ByteSet = 11,
    Memo = 12,
};

// Share modes of open. Omitted or 1: no restriction; 2: deny read; 3: deny write;
// any other value (0 included): deny read and write.
namespace share {
inline constexpr std::int32_t kNone = 1;
inline constexpr std::int32_t kDenyRead = 2;
inline constexpr std::int32_t kDenyWrite = 3;
inline constexpr std::int32_t kDenyReadWrite = 4;
} // namespace share

struct OpenOptions {
    runtime::Text alias; // empty: none
    bool readOnly = false;
    std::optional<std::int32_t> shareMode; // omitted: no restriction
    runtime::Text password;                // empty: none
    std::vector<runtime::Text> indexFiles; // at most 10
};

// The condition of find and delete: a logical used unchanged for every record, or a
// sub-statement run anew for each record under test. A sub-statement reads the
// record under test with readField; it must yield a logical value.
using SubStatement = std::function<Value()>;
using Condition = std::variant<bool, SubStatement>;

bool openStore(std::string_view fileName, const OpenOptions& options = {});
void closeStore();                      // the current store
void closeStore(std::string_view name); // alias, file title or full path
// Makes the store open on this file current, the name resolved as openStore resolves
// it. When no open store is on that file nothing is current afterwards (result code
// kStoreNotOpen), so that commands meant for it never act on another store.
bool selectStore(std::string_view fileName);
std::int32_t recordCount(); // deleted records included; 0 on error
bool goToRecord(std::int32_t recordNumber);
// By name (text) or number (any numeric value, converted to integer). Misuse (no
// current store, no such field, another kind of argument) ends the program through
// the runtime error report; other failures give the empty value of the field's type.
Value readField(const Value& field);
Value readField(std::int32_t fieldNumber);
bool addRecord(std::span<const Value> values);    // Value() leaves a field at zero
bool changeRecord(std::span<const Value> values); // Value() leaves a field unchanged
bool deleteRecord();                              // marks the current record
bool deleteRecord(const Condition& condition);    // marks every record it holds for
bool pack();
bool clearStore();
bool find(const Condition& condition);

// Units: the writing commands on the current store from beginUnit to its endUnit
// become one atomic change: a crash or power cut before endUnit returns leaves the
// store as it was before beginUnit, and endUnit makes all of it durable at once,
// which costs one commit instead of one per command. Each command keeps its own
// result and behaviour. Between the two no other handle or process can write to
// the store (it waits for the unit, as for one long command), while readers see
// each command's changes as they happen. Units nest; closing the store ends one.
// beginUnit on a store opened read-only does nothing and succeeds.
bool beginUnit();
bool endUnit();

ResultCode lastError(); // the calling thread's last-error slot

// Lock retry time-out in milliseconds: 0 no retry (default), -1 without end.
void setLockRetryTimeout(std::int32_t milliseconds);
std::int32_t lockRetryTimeout();

// Defining a new, empty store (data file and, when a byte-set or memo field exists,
// its auxiliary file). Fails when the data file exists. Field names follow the name
// rule; text fields need a size of at least 1, other sizes are ignored.
struct FieldSpec {
    runtime::Text name;
    FieldType type = FieldType::Text;
    std::int32_t size = 0;
};
bool createStore(std::string_view fileName, std::span<const FieldSpec> fields);

// Introspection of the current store, for tools; the application does not use it.
struct FieldInfo {
    runtime::Text name;
    FieldType type = FieldType::Text;
    std::int32_t offset = 0;
    std::int32_t width = 0; // bytes in the record
};
struct StoreInfo {
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    std::int32_t recordCount = 0;
    std::int32_t nextSerial = 0;
    std::int32_t recordLength = 0;
    std::int32_t dataStart = 0;
    std::vector<FieldInfo> fields;
    bool hasAuxiliaryFile = false;
    std::int32_t auxBlockCount = 0;
    std::int32_t auxFreeCount = 0;
    std::int32_t auxFreeHead = 0;
    runtime::Text fullPath;
};
bool currentStoreInfo(StoreInfo& info);
// Holds the current store still for a reader of many records: the exclusive section
// of its data file, so that no other handle appends, changes, deletes, packs or
// clears until it is left (they wait under their lock retry time-out), while this
// handle's own commands go on. Entries nest; each successful enter needs one leave,
// on the same current store.
bool enterReadSection();
void leaveReadSection();
// The status word of the current record: serial number, negative when deleted.
bool readStatusWord(std::int32_t& statusWord);

} // namespace qr::store
