#include "store/env.h"
#include "store/result_code.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace qr::store {
namespace {

TEST(ErrorText, CodesOutsideTheTableAreUnknownAndZeroIsEmpty)
{
    EXPECT_EQ(errorText(ResultCode{0}), "");
    EXPECT_EQ(errorText(ResultCode{5}), "未知错误");
    EXPECT_EQ(errorText(ResultCode{-81}), "未知错误");
    EXPECT_EQ(errorText(ResultCode{-77}), "未知错误");  // a gap in the table
    EXPECT_EQ(errorText(ResultCode{-1}), "未知错误");
}

TEST(ErrorText, TextsKeepTheirExactBytes)
{
    EXPECT_EQ(errorText(ResultCode{-16}), "字段数目必须大于 0 ");
    EXPECT_EQ(errorText(ResultCode{-16}).back(), ' ');
    EXPECT_EQ(errorText(ResultCode{-74}), "数据库的共享打开方式不是“#禁止读写”");
    EXPECT_EQ(errorText(ResultCode{-22}), "指定文件不是数据库文件");
    EXPECT_EQ(errorText(ResultCode{-38}), "指定数据库已经被打开");
    EXPECT_EQ(errorText(ResultCode{-59}), "访问数据库的辅助文件失败");
    EXPECT_EQ(errorText(ResultCode{-80}), "无效的密码文本");
    // Every code from -1 to -80 except -77 has a text of its own.
    for (std::int32_t code = -2; code >= -80; --code) {
        if (code != -77) {
            EXPECT_NE(errorText(ResultCode{code}), "未知错误") << code;
        }
    }
}

TEST(ErrnoMapping, PlatformCausesMapToTheirCodes)
{
    EXPECT_EQ(codeFromErrno(ENOENT), rc::kFileNotFound);
    EXPECT_EQ(codeFromErrno(ENOTDIR), rc::kBadPath);
    EXPECT_EQ(codeFromErrno(ENAMETOOLONG), rc::kBadPath);
    EXPECT_EQ(codeFromErrno(EMFILE), rc::kTooManyOpenFiles);
    EXPECT_EQ(codeFromErrno(ENFILE), rc::kTooManyOpenFiles);
    EXPECT_EQ(codeFromErrno(EACCES), rc::kAccessDenied);
    EXPECT_EQ(codeFromErrno(EROFS), rc::kAccessDenied);
    EXPECT_EQ(codeFromErrno(EBADF), rc::kInvalidHandle);
    EXPECT_EQ(codeFromErrno(ESPIPE), rc::kBadSeek);
    EXPECT_EQ(codeFromErrno(EIO), rc::kHardwareError);
    EXPECT_EQ(codeFromErrno(ENOSPC), rc::kDiskFull);
    EXPECT_EQ(codeFromErrno(EDQUOT), rc::kDiskFull);
    EXPECT_EQ(codeFromErrno(EXDEV), rc::kUnknown);
    // The same errno means someone else's lock while locking.
    EXPECT_EQ(codeFromErrno(EACCES, true), rc::kLockViolation);
    EXPECT_EQ(codeFromErrno(EAGAIN, true), rc::kLockViolation);
}

} // namespace
} // namespace qr::store
