#include "xlsodbc/driver_registration.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::xls {

namespace {

std::string joined(const std::string& directory, std::string_view name)
{
    std::string path = directory;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// The file's whole text; nothing when it cannot be read.
bool readText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string failure(const char* what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

} // namespace

std::string registrationText(std::string_view driverPath)
{
    std::ostringstream text;
    text << '[' << kDriverName << "]\n"
         << "Description = Quillroll driver for Excel 97-2003 workbooks (.xls)\n"
         << "Driver = " << driverPath << '\n'
         << "FileUsage = 1\n";
    return text.str();
}

Registration registerDriver(const std::string& directory, std::string_view driverPath, std::string& problem)
{
    const std::string path = joined(directory, kRegistrationFileName);
    const std::string text = registrationText(driverPath);
    std::string old;
    if (readText(path, old) && old == text)
        return Registration::Unchanged;

    std::string temporary = joined(directory, ".odbcinst.ini-XXXXXX");
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        problem = failure("cannot write in", directory);
        return Registration::Failed;
    }
    const bool written = writeAll(fd, text) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        if (written)
            problem = failure("cannot replace", path);
        else {
            errno = savedErrno;
            problem = failure("cannot write", temporary);
        }
        ::unlink(temporary.c_str());
        return Registration::Failed;
    }
    return Registration::Written;
}

void useRegistrationIn(const std::string& directory)
{
    ::setenv("ODBCSYSINI", directory.c_str(), 1);
    // The file name, too: a value inherited from the caller's session must not
    // send the manager to another file in that folder.
    ::setenv("ODBCINSTINI", std::string(kRegistrationFileName).c_str(), 1);
}

} // namespace qr::xls
