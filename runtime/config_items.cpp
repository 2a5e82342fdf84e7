#include "runtime/config_items.h"

#include "runtime/file_io.h"
#include "runtime/gbk.h"
#include "runtime/profile_text.h"

#include <string>

namespace qr::runtime {
namespace {

std::string_view skipLeadingControls(std::string_view s)
{
    while (!s.empty() && static_cast<std::uint8_t>(s.front()) <= 32)
        s.remove_prefix(1);
    return s;
}

Text cut(std::string_view value) { return Text(value.substr(0, kConfigValueLimit)); }

} // namespace

Text readConfigItem(std::string_view fileName, std::string_view section, std::string_view key,
                    std::string_view defaultValue)
{
    fileName = skipLeadingControls(fileName);
    section = skipLeadingControls(section);
    key = skipLeadingControls(key);
    if (fileName.empty() || section.empty() || key.empty())
        return {};

    std::string content;
    if (readWholeFile(gbkToUtf8(fileName), content) != ReadOutcome::Read)
        return cut(defaultValue);
    if (std::optional<Text> value = profile::lookup(content, section, key))
        return cut(*value);
    return cut(defaultValue);
}

bool writeConfigItem(std::string_view fileName, std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> value)
{
    if (fileName.empty())
        return false;
    const std::string path = gbkToUtf8(fileName);
    std::string content;
    const ReadOutcome read = readWholeFile(path, content);
    if (read == ReadOutcome::Failed)
        return false; // never replace a file whose content we could not see
    const std::optional<Text> edited = profile::edit(content, section, key, value);
    if (!edited)
        return false;
    if (read == ReadOutcome::Missing && (!key || !value))
        return true; // nothing to delete; do not create the file for it
    if (read == ReadOutcome::Read && *edited == content)
        return true;
    return replaceFileAtomically(path, *edited);
}

} // namespace qr::runtime
