#include "xlsodbc/file_io.h"

#include "runtime/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qr::xls {
namespace {

// A class roster's workbook is kilobytes; anything near this is not one, and
// reading it whole would only exhaust memory.
constexpr std::uint64_t kMaxWorkbookBytes = 64ull << 20;

// Messages leave out the path: the caller names the file in the application's own
// encoding.
std::string describe(const char* what, const std::string&, int err)
{
    return std::string(what) + ": " + std::strerror(err);
}

} // namespace

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    // Non-blocking, so that opening a FIFO returns at once and is refused below
    // rather than waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = describe("cannot open it", path, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file (a device, pipe or folder cannot be a workbook)";
        ::close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxWorkbookBytes) {
        error = "the file is too large to be a workbook (" + std::to_string(st.st_size >> 20) + " MiB; at most " +
                std::to_string(kMaxWorkbookBytes >> 20) + " MiB are read)";
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
    runtime::ReplaceFailure failure;
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (runtime::replaceFileAtomically(path, content, runtime::LinkHandling::ReplaceLink, &failure))
        return true;
    error = describe(failure.step == runtime::ReplaceFailure::Step::CreatingTemporary
                         ? "cannot create a temporary file next to it"
                         : "cannot write it",
                     path, failure.error);
    return false;
}

} // namespace qr::xls
