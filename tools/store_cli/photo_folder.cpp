#include "tools/store_cli/photo_folder.h"

#include "tools/store_cli/cli_support.h"
#include "tools/store_cli/photo_kind.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>

#include <dirent.h>

namespace qr::tools {
namespace {

std::string lowerCase(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

using DirHandle = std::unique_ptr<DIR, int (*)(DIR*)>;

} // namespace

bool listPhotoFiles(const std::string& dir, std::map<std::int64_t, std::string>& files, std::string& why)
{
    DirHandle d(::opendir(dir.c_str()), &::closedir);
    if (!d) {
        why = "cannot read the photo folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || dot == 0 || !isPhotoExtension(lowerCase(name.substr(dot + 1))))
            continue;
        std::int64_t number = 0;
        const auto r = std::from_chars(name.data(), name.data() + dot, number);
        // Only the plain decimal form counts, so "012.jpg" is no photo of 12.
        if (r.ec != std::errc() || r.ptr != name.data() + dot || std::to_string(number) != name.substr(0, dot))
            continue;
        const auto [it, inserted] = files.emplace(number, name);
        if (!inserted) {
            why = "the photo folder holds two photos for " + u8text(u8"序号") + " " + std::to_string(number) + ": " +
                  it->second + " and " + name;
            return false;
        }
    }
    return true;
}

std::string photoFileName(std::int64_t serial, const std::vector<std::uint8_t>& bytes)
{
    const std::string_view ext = pictureExtension(bytes);
    return std::to_string(serial) + "." + std::string(ext.empty() ? "bin" : ext);
}

bool isMissingOrEmptyFolder(const std::string& dir, bool& missing, std::string& why)
{
    DirHandle d(::opendir(dir.c_str()), &::closedir);
    if (!d) {
        missing = errno == ENOENT;
        if (!missing)
            why = "cannot use the photo folder " + dir + ": " + std::strerror(errno);
        return missing;
    }
    missing = false;
    while (const dirent* e = ::readdir(d.get())) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            why = "the photo folder " + dir + " is not empty; export writes photos only into a new or empty folder";
            return false;
        }
    }
    return true;
}

} // namespace qr::tools
