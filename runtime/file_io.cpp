#include "runtime/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::runtime {
namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The process umask without changing it (umask() would, for a moment, for
// every thread); older kernels lack the line, so fall back to the usual 022.
mode_t currentUmask()
{
    FILE* status = std::fopen("/proc/self/status", "re");
    if (!status)
        return 022;
    char line[256];
    mode_t mask = 022;
    while (std::fgets(line, sizeof line, status)) {
        unsigned value = 0;
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
            mask = static_cast<mode_t>(value);
            break;
        }
    }
    std::fclose(status);
    return mask;
}

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

} // namespace

ReadOutcome readWholeFile(const std::string& pathUtf8, std::string& content)
{
    content.clear();
    const int fd = ::open(pathUtf8.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > kMaxWholeFile) {
        ::close(fd);
        return ReadOutcome::Failed;
    }
    char buffer[65536];
    ReadOutcome outcome = ReadOutcome::Read;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            outcome = ReadOutcome::Failed;
            break;
        }
        if (n == 0)
            break;
        if (content.size() + static_cast<size_t>(n) > kMaxWholeFile) { // it grew while read
            outcome = ReadOutcome::Failed;
            break;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return outcome;
}

bool replaceFileAtomically(const std::string& pathUtf8, std::string_view content, LinkHandling links,
                           ReplaceFailure* failure)
{
    auto fail = [failure](ReplaceFailure::Step step, int error) {
        if (failure)
            *failure = {step, error};
        return false;
    };
    std::string target = pathUtf8;
    if (links == LinkHandling::ReplaceTarget) {
        if (char* real = ::realpath(pathUtf8.c_str(), nullptr)) {
            target = real;
            std::free(real);
        } else if (errno != ENOENT) {
            return fail(ReplaceFailure::Step::ResolvingPath, errno);
        }
    }

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentUmask());

    const std::string directory = directoryOf(target);
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = directory + "/." + base + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(ReplaceFailure::Step::CreatingTemporary, errno);

    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(ReplaceFailure::Step::Writing, error);
    }
    // Make the rename itself durable; the file is in place either way.
    const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace qr::runtime
