// Result codes as callers meet them: every platform failure the store can run into
// has a code of its own class with a text of its own, and the texts the tools show
// are the fixed GBK bytes the program prints.
#include "runtime/gbk.h"
#include "store/env.h"
#include "store/result_code.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qr::store {
namespace {

constexpr std::string_view kGenericText = "未知错误";

// The errno values that open, pread, pwrite, fstat, ftruncate, fcntl, stat and unlink
// can report on the files of a store, grouped by what went wrong. A cause must map
// to the same code as the others of its group and to another code than any other
// group's.
const std::vector<std::vector<int>>& errnoClasses()
{
    static const std::vector<std::vector<int>> classes = {
        {ENOENT},                               // no such file
        {ENOTDIR, ENAMETOOLONG, ELOOP, EINVAL}, // the name cannot lead to a file
        {EMFILE, ENFILE},                       // descriptor tables full
        {EACCES, EPERM, EROFS, EISDIR},         // not ours to open or change
        {EBADF},                                // a descriptor that is no longer valid
        {ESPIPE, EOVERFLOW},                    // an offset the file cannot take
        {EIO},                                  // the device failed
        {ENOSPC, EDQUOT},                       // no room left
    };
    return classes;
}

// Every code the store itself raises.
const std::vector<ResultCode>& raisedCodes()
{
    static const std::vector<ResultCode> codes = {
        rc::kUnknown,           rc::kCreateFailed,       rc::kFileNotFound,
        rc::kBadPath,           rc::kTooManyOpenFiles,   rc::kAccessDenied,
        rc::kInvalidHandle,     rc::kRemoveCurrentDir,   rc::kDirectoryFull,
        rc::kBadSeek,           rc::kHardwareError,      rc::kSharingViolation,
        rc::kLockViolation,     rc::kDiskFull,           rc::kEndOfFile,
        rc::kFieldCountZero,    rc::kInvalidFieldType,   rc::kInvalidFieldName,
        rc::kInvalidFieldSize,  rc::kDuplicateFieldName, rc::kNotADataFile,
        rc::kVersionTooHigh,    rc::kInvalidAlias,       rc::kNotOpen,
        rc::kLockFailed,        rc::kUnlockFailed,       rc::kIndexOpenFailed,
        rc::kTooManyIndexFiles, rc::kAuxReadFailed,      rc::kAuxVersionMismatch,
        rc::kAuxDamaged,        rc::kAlreadyOpen,        rc::kOutOfMemory,
        rc::kFieldReadFailed,   rc::kDataFileSize,       rc::kAuxCreateFailed,
        rc::kAuxAccessFailed,   rc::kNoCurrentRecord,    rc::kNoSuchField,
        rc::kRecordReadFailed,  rc::kRecordCountFailed,  rc::kStoreNotOpen,
        rc::kNoCurrentStore,    rc::kTypeMismatch,       rc::kWrongPassword,
    };
    return codes;
}

TEST(ErrnoMapping, EveryCauseTheStoreCanMeetHasAFailureCodeWithItsOwnText)
{
    for (const auto& group : errnoClasses())
        for (const int error : group) {
            const ResultCode code = codeFromErrno(error);
            EXPECT_FALSE(code.ok()) << error;
            EXPECT_NE(code, rc::kUnknown) << error;
            EXPECT_NE(errorText(code), kGenericText) << error;
        }
}

TEST(ErrnoMapping, CausesOfOneClassShareACodeAndClassesNeverShareOne)
{
    std::set<std::int32_t> classCodes;
    for (const auto& group : errnoClasses()) {
        const ResultCode first = codeFromErrno(group.front());
        for (const int error : group)
            EXPECT_EQ(codeFromErrno(error), first) << error << " and " << group.front();
        EXPECT_TRUE(classCodes.insert(first.value()).second) << "class of errno " << group.front();
    }
}

TEST(ErrnoMapping, SuccessAndUnknownCauses)
{
    EXPECT_EQ(codeFromErrno(0), rc::kOk);
    for (const int foreign : {EXDEV, ENOTEMPTY, ETIMEDOUT, EPIPE, 100000})
        EXPECT_EQ(codeFromErrno(foreign), rc::kUnknown) << foreign;
    EXPECT_EQ(errorText(rc::kUnknown), kGenericText);
}

TEST(ErrnoMapping, WhileLockingSomeoneElsesLockIsARefusalToRetry)
{
    // fcntl reports a lock held by another description as EAGAIN or EACCES.
    EXPECT_EQ(codeFromErrno(EAGAIN, true), rc::kLockViolation);
    EXPECT_EQ(codeFromErrno(EACCES, true), rc::kLockViolation);
    EXPECT_NE(codeFromErrno(EACCES, false), rc::kLockViolation);
    // Other causes keep their meaning while locking.
    for (const auto& group : errnoClasses())
        for (const int error : group)
            if (error != EACCES) {
                EXPECT_EQ(codeFromErrno(error, true), codeFromErrno(error)) << error;
            }
}

TEST(ErrorText, EveryRaisedCodeHasATextOfItsOwnInGbk)
{
    std::set<std::string_view> texts;
    for (const ResultCode code : raisedCodes()) {
        const std::string_view text = errorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_TRUE(texts.insert(text).second) << code << " shares its text";
        if (code != rc::kUnknown) {
            EXPECT_NE(text, kGenericText) << code;
        }
        // Valid GBK: it survives the trip through UTF-8 unchanged.
        EXPECT_EQ(runtime::utf8ToGbk(runtime::gbkToUtf8(text)), text) << code;
    }
}

TEST(ErrorText, CodesNoOperationOfOursRaisesKeepTextsOfTheirOwn)
{
    // Stores are shared with other programs, whose codes -1 .. -80 (all but -77) the
    // table keeps, each with its own text.
    std::set<std::string_view> texts;
    for (std::int32_t number = -1; number >= -80; --number) {
        if (number == -77)
            continue;
        const std::string_view text = errorText(ResultCode{number});
        EXPECT_TRUE(texts.insert(text).second) << number << " shares its text";
        if (number != -1) {
            EXPECT_NE(text, kGenericText) << number;
        }
    }
}

TEST(ErrorText, SuccessIsEmptyAndCodesOutsideTheTableAreUnknown)
{
    EXPECT_EQ(errorText(rc::kOk), "");
    for (const std::int32_t outside : {1, 5, -77, -81, -1000})
        EXPECT_EQ(errorText(ResultCode{outside}), kGenericText) << outside;
}

TEST(ErrorText, TheTextsTheToolsShowForWhatTheyRefuse)
{
    // A store that is missing, an auxiliary file that cannot be read, is damaged or
    // cannot be reached: the tools print these bytes, converted to UTF-8.
    EXPECT_EQ(errorText(rc::kFileNotFound), "指定文件未找到");
    EXPECT_EQ(errorText(rc::kAuxReadFailed), "读入数据库辅助文件失败");
    EXPECT_EQ(errorText(rc::kAuxDamaged), "指定文件不是数据库辅助文件或已被损坏");
    EXPECT_EQ(errorText(rc::kAuxAccessFailed), "访问数据库的辅助文件失败");
    EXPECT_EQ(errorText(rc::kSharingViolation), "访问文件时产生共享冲突");
    // The one text with a trailing blank keeps it.
    EXPECT_EQ(errorText(rc::kFieldCountZero), "字段数目必须大于 0 ");
}

TEST(ResultCodeValue, TheNumberIsWhatTheLastErrorSlotAndTheToolsShow)
{
    EXPECT_EQ(rc::kOk.value(), 0);
    EXPECT_TRUE(rc::kOk.ok());
    EXPECT_EQ(ResultCode{}, rc::kOk);
    for (const ResultCode code : raisedCodes()) {
        EXPECT_FALSE(code.ok());
        EXPECT_LT(code.value(), 0);
        EXPECT_GE(code.value(), -80);
        EXPECT_EQ(ResultCode{code.value()}, code);
    }
    std::ostringstream printed;
    printed << rc::kFileNotFound;
    EXPECT_EQ(printed.str(), std::to_string(rc::kFileNotFound.value()));
}

} // namespace
} // namespace qr::store
