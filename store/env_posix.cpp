#include "store/env.h"

#include "runtime/gbk.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qr::store {

ResultCode codeFromErrno(int error, bool locking)
{
    if (locking && (error == EAGAIN || error == EACCES))
        return rc::kLockViolation;
    switch (error) {
    case 0: return rc::kOk;
    case ENOENT: return rc::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return rc::kBadPath;
    case EMFILE:
    case ENFILE: return rc::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return rc::kAccessDenied;
    case EBADF: return rc::kInvalidHandle;
    case ESPIPE:
    case EOVERFLOW: return rc::kBadSeek;
    case EIO: return rc::kHardwareError;
    case ENOSPC:
    case EDQUOT: return rc::kDiskFull;
    default: return rc::kUnknown;
    }
}

namespace {

class PosixFile final : public File {
public:
    PosixFile(int fd, bool writable, FileIdentity identity)
        : fd_(fd)
        , writable_(writable)
        , identity_(identity)
    {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    ResultCode readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) override
    {
        got = 0;
        auto* out = static_cast<char*>(buffer);
        while (got < size) {
            const ssize_t n = ::pread(fd_, out + got, size - got, offset + static_cast<std::int64_t>(got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return codeFromErrno(errno);
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return rc::kOk;
    }

    ResultCode writeAt(std::int64_t offset, const void* buffer, std::size_t size) override
    {
        std::size_t done = 0;
        const auto* in = static_cast<const char*>(buffer);
        while (done < size) {
            const ssize_t n = ::pwrite(fd_, in + done, size - done, offset + static_cast<std::int64_t>(done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return codeFromErrno(errno);
            }
            if (n == 0)
                return rc::kDiskFull;
            done += static_cast<std::size_t>(n);
        }
        return rc::kOk;
    }

    ResultCode length(std::int64_t& length) override
    {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            return codeFromErrno(errno);
        length = st.st_size;
        return rc::kOk;
    }

    ResultCode truncate(std::int64_t length) override
    {
        while (::ftruncate(fd_, length) != 0) {
            if (errno != EINTR)
                return codeFromErrno(errno);
        }
        return rc::kOk;
    }

    ResultCode sync() override
    {
        while (::fdatasync(fd_) != 0) {
            if (errno != EINTR)
                return codeFromErrno(errno);
        }
        return rc::kOk;
    }

    ResultCode lock(std::int64_t start, std::int64_t size, LockMode mode) override
    {
        return setLock(mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK, start, size);
    }

    ResultCode unlock(std::int64_t start, std::int64_t size) override { return setLock(F_UNLCK, start, size); }

    ResultCode lockedByOther(std::int64_t start, std::int64_t size, bool& locked) override
    {
        // Asking about an exclusive lock reports any lock of another open file
        // description; our own locks never conflict with it. This works on files
        // opened for reading only as well.
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = start;
        fl.l_len = size;
        if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0)
            return codeFromErrno(errno, true);
        locked = fl.l_type != F_UNLCK;
        return rc::kOk;
    }

    bool writable() const override { return writable_; }
    FileIdentity identity() const override { return identity_; }

private:
    ResultCode setLock(short type, std::int64_t start, std::int64_t size)
    {
        struct flock fl {};
        fl.l_type = type;
        fl.l_whence = SEEK_SET;
        fl.l_start = start;
        fl.l_len = size;
        // Non-blocking on purpose: a refused lock goes back to the caller, which
        // retries under the lock retry time-out instead of waiting in the kernel.
        while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
            if (errno != EINTR)
                return codeFromErrno(errno, true);
        }
        return rc::kOk;
    }

    int fd_;
    bool writable_;
    FileIdentity identity_;
};

class PosixEnv final : public Env {
public:
    ResultCode openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file) override
    {
        const std::string path = runtime::gbkToUtf8(pathGbk);
        if (path.empty())
            return rc::kFileNotFound;
        int flags = O_CLOEXEC;
        switch (mode) {
        case OpenMode::ReadOnly: flags |= O_RDONLY; break;
        case OpenMode::ReadWrite: flags |= O_RDWR; break;
        case OpenMode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
        }
        int fd;
        do
            fd = ::open(path.c_str(), flags, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return codeFromErrno(errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            return codeFromErrno(error);
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            return rc::kAccessDenied;
        }
        file = std::make_unique<PosixFile>(
            fd, mode != OpenMode::ReadOnly,
            FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
        return rc::kOk;
    }

    ResultCode identityOf(std::string_view pathGbk, FileIdentity& identity) override
    {
        const std::string path = runtime::gbkToUtf8(pathGbk);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return codeFromErrno(errno);
        identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
        return rc::kOk;
    }

    ResultCode removeFile(std::string_view pathGbk) override
    {
        const std::string path = runtime::gbkToUtf8(pathGbk);
        if (::unlink(path.c_str()) != 0)
            return codeFromErrno(errno);
        return rc::kOk;
    }

    ResultCode syncDirectoryOf(std::string_view pathGbk) override
    {
        std::string path = runtime::gbkToUtf8(pathGbk);
        const std::size_t slash = path.rfind('/');
        path = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
        int fd;
        do
            fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return codeFromErrno(errno);
        int result;
        do
            result = ::fsync(fd);
        while (result != 0 && errno == EINTR);
        const int error = result != 0 ? errno : 0;
        ::close(fd);
        // Some file systems cannot sync a directory; their entries are as durable as
        // they will get.
        return error == 0 || error == EINVAL ? rc::kOk : codeFromErrno(error);
    }

    std::string currentDirectory() override
    {
        std::vector<char> buffer(PATH_MAX + 1);
        if (::getcwd(buffer.data(), buffer.size()) == nullptr)
            return {};
        std::string dir = runtime::utf8ToGbk(buffer.data());
        if (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        return dir;
    }

    std::uint32_t tickMilliseconds() override
    {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
    }

    void sleepMilliseconds(std::uint32_t milliseconds) override
    {
        timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
        while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
    }
};

Env* g_env = nullptr;

} // namespace

Env& posixEnv()
{
    static PosixEnv env;
    return env;
}

Env& storeEnv() { return g_env ? *g_env : posixEnv(); }

void setStoreEnv(Env* env) { g_env = env; }

} // namespace qr::store
