#include "store/check/raw_file.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::store::check {

ResultCode codeOfErrno(int err)
{
    switch (err) {
    case 0: return rc::kOk;
    case ENOENT: return rc::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return rc::kBadPath;
    case EMFILE:
    case ENFILE: return rc::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return rc::kAccessDenied;
    case EBADF: return rc::kInvalidHandle;
    case ESPIPE:
    case EINVAL: return rc::kBadSeek;
    case EIO: return rc::kHardwareError;
    case EAGAIN: return rc::kLockViolation;
    case ENOSPC:
    case EDQUOT: return rc::kDiskFull;
    default: return rc::kUnknown;
    }
}

RawFile::~RawFile()
{
    if (fd_ >= 0)
        ::close(fd_); // closing the description drops its OFD locks
}

ResultCode RawFile::open(const std::string& pathUtf8)
{
    fd_ = ::open(pathUtf8.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return codeOfErrno(errno);
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return rc::kAccessDenied;
    }
    return rc::kOk;
}

ResultCode RawFile::lockShared(int timeoutMs)
{
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0x7FFFFFFF;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0)
            return rc::kOk;
        const int err = errno;
        if (err != EAGAIN && err != EACCES && err != EINTR)
            return rc::kLockFailed;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited >= std::chrono::milliseconds(timeoutMs))
            return rc::kLockViolation;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::int64_t RawFile::readAt(std::int64_t pos, void* buffer, std::size_t size) const
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(pos + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t RawFile::length() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return -1;
    return st.st_size;
}

} // namespace qr::store::check
