#include "store/paths.h"

#include <vector>

namespace qr::store {
namespace {

// GBK trail bytes are 0x40 and above, so '/' and '.' are always characters of their
// own and may be searched for byte-wise.
std::size_t nameStart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::size_t extensionDot(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart(path))
        return std::string_view::npos;
    return dot;
}

} // namespace

std::string withDefaultExtension(std::string_view name)
{
    std::string result(name);
    const std::size_t dot = extensionDot(name);
    if (dot == std::string_view::npos)
        result += ".EDB";
    else if (dot + 1 == name.size())
        result += "EDB";
    return result;
}

std::string fullPath(std::string_view name, std::string_view currentDirectory)
{
    std::string joined;
    if (!name.empty() && name.front() == '/')
        joined = name;
    else
        joined = std::string(currentDirectory) + "/" + std::string(name);

    std::vector<std::string_view> parts;
    std::string_view rest(joined);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (const auto part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

std::string fileTitle(std::string_view path)
{
    const std::size_t start = nameStart(path);
    const std::size_t dot = extensionDot(path);
    return std::string(path.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
}

std::string auxiliaryPath(std::string_view dataPath)
{
    const std::size_t dot = extensionDot(dataPath);
    return std::string(dataPath.substr(0, dot)) + ".EDT";
}

std::string journalPath(std::string_view dataPath) { return std::string(dataPath) + "-journal"; }

} // namespace qr::store
