// Result codes of the record store: 0 for success, -1 ... -80 for failures, each
// with a fixed text.
//
// A result is a value of its own type that must not be dropped: a call whose
// result is ignored does not compile (the build turns unused results into errors).
// A caller that means to ignore one says so with (void) and a comment why.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace qr::store {

class [[nodiscard]] ResultCode {
public:
    constexpr ResultCode() = default; // success
    constexpr explicit ResultCode(std::int32_t value)
        : value_(value)
    {}

    // The number as the last-error slot and the tools show it.
    constexpr std::int32_t value() const { return value_; }
    constexpr bool ok() const { return value_ == 0; }

    friend constexpr bool operator==(ResultCode, ResultCode) = default;

private:
    std::int32_t value_ = 0;
};

// Prints the number (test failure messages, diagnostics).
inline std::ostream& operator<<(std::ostream& out, ResultCode code) { return out << code.value(); }

namespace rc {
inline constexpr ResultCode kOk{0};
inline constexpr ResultCode kUnknown{-1};
inline constexpr ResultCode kCreateFailed{-2};
inline constexpr ResultCode kFileNotFound{-3};
inline constexpr ResultCode kBadPath{-4};
inline constexpr ResultCode kTooManyOpenFiles{-5};
inline constexpr ResultCode kAccessDenied{-6};
inline constexpr ResultCode kInvalidHandle{-7};
inline constexpr ResultCode kRemoveCurrentDir{-8};
inline constexpr ResultCode kDirectoryFull{-9};
inline constexpr ResultCode kBadSeek{-10};
inline constexpr ResultCode kHardwareError{-11};
inline constexpr ResultCode kSharingViolation{-12};
inline constexpr ResultCode kLockViolation{-13};
inline constexpr ResultCode kDiskFull{-14};
inline constexpr ResultCode kEndOfFile{-15};
inline constexpr ResultCode kFieldCountZero{-16};
inline constexpr ResultCode kInvalidFieldType{-17};
inline constexpr ResultCode kInvalidFieldName{-18};
inline constexpr ResultCode kInvalidFieldSize{-19};
inline constexpr ResultCode kDuplicateFieldName{-20};
inline constexpr ResultCode kNotADataFile{-22};
inline constexpr ResultCode kVersionTooHigh{-23};
inline constexpr ResultCode kInvalidAlias{-24};
inline constexpr ResultCode kNotOpen{-27};
inline constexpr ResultCode kLockFailed{-28};
inline constexpr ResultCode kUnlockFailed{-29};
inline constexpr ResultCode kIndexOpenFailed{-30};
inline constexpr ResultCode kTooManyIndexFiles{-34};
inline constexpr ResultCode kAuxReadFailed{-35};
inline constexpr ResultCode kAuxVersionMismatch{-36};
inline constexpr ResultCode kAuxDamaged{-37};
inline constexpr ResultCode kAlreadyOpen{-38};
inline constexpr ResultCode kOutOfMemory{-45};
inline constexpr ResultCode kFieldReadFailed{-46};
inline constexpr ResultCode kDataFileSize{-48};
inline constexpr ResultCode kAuxCreateFailed{-50};
inline constexpr ResultCode kAuxAccessFailed{-59};
inline constexpr ResultCode kNoCurrentRecord{-60};
inline constexpr ResultCode kNoSuchField{-61};
inline constexpr ResultCode kRecordReadFailed{-62};
inline constexpr ResultCode kRecordCountFailed{-65};
inline constexpr ResultCode kStoreNotOpen{-66};
inline constexpr ResultCode kNoCurrentStore{-67};
inline constexpr ResultCode kTypeMismatch{-72};
inline constexpr ResultCode kWrongPassword{-78};
} // namespace rc

// The fixed GBK text of a code: "" for 0, "未知错误" for a code not in the table.
std::string_view errorText(ResultCode code);

} // namespace qr::store
