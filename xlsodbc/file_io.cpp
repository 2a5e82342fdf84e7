#include "xlsodbc/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qr::xls {
namespace {

constexpr std::uint64_t kMaxWorkbookBytes = 512ull << 20;

// Messages leave out the path: the caller names the file in the application's own
// encoding.
std::string describe(const char* what, const std::string&, int err)
{
    return std::string(what) + ": " + std::strerror(err);
}

bool writeAll(int fd, const std::uint8_t* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = describe("cannot open it", path, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        ::close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxWorkbookBytes) {
        error = "the file is too large to be a workbook";
        ::close(fd);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            error = describe("cannot read it", path, r < 0 ? errno : EIO);
            ::close(fd);
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return true;
}

bool replaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = describe("cannot create a temporary file next to it", path, errno);
        return false;
    }
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    int err = errno;
    if (ok && exists && ::fchmod(fd, st.st_mode & 07777) != 0) {
        ok = false;
        err = errno;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = describe("cannot write it", path, err);
    }
    return ok;
}

} // namespace qr::xls
