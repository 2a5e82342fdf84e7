#include "runtime/text_search.h"

#include "runtime/gbk.h"

namespace qr::runtime {
namespace {

// Whether sought occurs at text[pos]; with ignoreCase, character by character along
// the sought text.
bool matchesAt(std::string_view text, size_t pos, std::string_view sought, bool ignoreCase)
{
    if (pos + sought.size() > text.size())
        return false;
    const std::string_view window = text.substr(pos, sought.size());
    return ignoreCase ? equalsIgnoringCase(sought, window) : window == sought;
}

size_t nextCharacter(std::string_view text, size_t i) { return i + gbkCharLength(text, i); }

} // namespace

Text leftText(std::string_view text, std::int64_t count)
{
    if (count <= 0)
        return {};
    const auto n = static_cast<std::uint64_t>(count) < text.size() ? static_cast<size_t>(count) : text.size();
    return Text(text.substr(0, n));
}

std::int32_t findText(std::string_view text, std::string_view sought, std::optional<std::int64_t> start,
                      bool ignoreCase)
{
    const std::int64_t first = (!start || *start < 1) ? 1 : *start;
    if (first > static_cast<std::int64_t>(text.size()))
        return -1;
    if (sought.empty())
        return 1;
    const auto from = static_cast<size_t>(first - 1);
    for (size_t i = 0; i + sought.size() <= text.size(); i = nextCharacter(text, i)) {
        if (i >= from && matchesAt(text, i, sought, ignoreCase))
            return static_cast<std::int32_t>(i + 1);
    }
    return -1;
}

std::int32_t findTextBackwards(std::string_view text, std::string_view sought, std::optional<std::int64_t> start,
                               bool ignoreCase)
{
    const auto length = static_cast<std::int64_t>(text.size());
    const std::int64_t last = (!start || *start > length) ? length : *start;
    if (last < 1)
        return -1;
    if (sought.empty())
        return 1;
    // Character boundaries are only known walking forward, so walk forward and
    // keep the last match.
    std::int32_t found = -1;
    const auto until = static_cast<size_t>(last - 1);
    for (size_t i = 0; i <= until && i + sought.size() <= text.size(); i = nextCharacter(text, i)) {
        if (matchesAt(text, i, sought, ignoreCase))
            found = static_cast<std::int32_t>(i + 1);
    }
    return found;
}

} // namespace qr::runtime
