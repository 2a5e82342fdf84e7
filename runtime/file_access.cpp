#include "runtime/file_access.h"

#include "runtime/allocation.h"
#include "runtime/gbk.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::runtime {

ByteSet readFile(std::string_view fileName)
{
    if (fileName.empty())
        return {};
    // Non-blocking, so that a FIFO without writer is refused below instead of
    // holding the program; only a regular file has contents to read.
    const int fd = ::open(gbkToUtf8(fileName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return {};
    }
    const auto length = static_cast<std::size_t>(st.st_size);
    ByteSet bytes;
    try {
        bytes.resize(length);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        reportAllocationFailure(length);
    }
    std::size_t arrived = 0;
    while (arrived < length) {
        const ssize_t n = ::read(fd, bytes.data() + arrived, length - arrived);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        arrived += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(arrived);
    return bytes;
}

bool writeFile(std::string_view fileName, std::span<const ByteSet> parts)
{
    if (fileName.empty())
        return false;
    const int fd = ::open(gbkToUtf8(fileName).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    for (const ByteSet& part : parts) {
        std::size_t written = 0;
        while (ok && written < part.size()) {
            const ssize_t n = ::write(fd, part.data() + written, part.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ok = false;
            else
                written += static_cast<std::size_t>(n);
        }
        if (!ok)
            break;
    }
    // A failed close can report a write that did not reach the disk.
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

bool writeFile(std::string_view fileName, const ByteSet& bytes)
{
    return writeFile(fileName, std::span<const ByteSet>(&bytes, 1));
}

} // namespace qr::runtime
