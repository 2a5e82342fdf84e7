// Whole-file reads and atomic replacement on file-system paths (UTF-8). The
// services that take GBK file names (file_access, config_items) sit on these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qr::runtime {

enum class ReadOutcome { Read, Missing, Failed };

// Reads the whole file into content. Missing: no such file (content empty).
// Failed: it exists but cannot be read (content holds what arrived), is no regular
// file (a FIFO is not waited for), or holds more than kMaxWholeFile bytes.
inline constexpr std::size_t kMaxWholeFile = 16u << 20;
ReadOutcome readWholeFile(const std::string& pathUtf8, std::string& content);

// What happens to a symbolic link at the path being replaced.
enum class LinkHandling {
    ReplaceTarget, // the link is followed: its target is replaced and the link stays
    ReplaceLink,   // the new file takes the link's place (how the spreadsheet driver saves)
};

// Where a replacement failed, with the errno it met there.
struct ReplaceFailure {
    enum class Step { ResolvingPath, CreatingTemporary, Writing };
    Step step = Step::Writing;
    int error = 0;
};

// Writes content to a temporary file beside the target, flushes it to disk and
// renames it over the target, so that a crash leaves either the old or the new
// file and never a half-written one. An existing file keeps its permission bits
// (those of a link's target); a new one gets 0666 less the umask. On failure the
// target is untouched and `failure`, when given, says where it failed.
bool replaceFileAtomically(const std::string& pathUtf8, std::string_view content,
                           LinkHandling links = LinkHandling::ReplaceTarget, ReplaceFailure* failure = nullptr);

} // namespace qr::runtime
