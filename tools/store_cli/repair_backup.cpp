#include "tools/store_cli/repair_backup.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace qr::tools {
namespace {

bool writeAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Copies from to a new file to (which must not exist); errno tells why not.
// EEXIST means the name is taken and nothing was written.
bool copyFile(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        errno = err;
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!writeAll(out, buffer, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fsync(out) == 0;
    const int err = errno;
    ::close(in);
    ::close(out);
    if (!ok) {
        ::unlink(to.c_str());
        errno = err == EEXIST ? EIO : err; // EEXIST is kept for a taken name
    }
    return ok;
}

void syncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd); // the copies are synced; a directory that cannot be is no reason to stop
        ::close(fd);
    }
}

} // namespace

bool backUpFiles(const std::vector<std::string>& paths, std::vector<std::string>& made, std::string& why)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string suffix =
            std::string(".repair-backup-") + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : "");
        made.clear();
        bool taken = false;
        for (const std::string& p : paths) {
            if (copyFile(p, p + suffix)) {
                made.push_back(p + suffix);
                continue;
            }
            const int err = errno;
            for (const std::string& m : made)
                ::unlink(m.c_str());
            made.clear();
            if (err == EEXIST) {
                taken = true;
                break;
            }
            why = "cannot copy " + p + " to " + p + suffix + ": " + std::strerror(err);
            return false;
        }
        if (!taken) {
            for (const std::string& m : made)
                syncDirectoryOf(m);
            return true;
        }
    }
    why = "every backup name for this second is taken";
    return false;
}

} // namespace qr::tools
