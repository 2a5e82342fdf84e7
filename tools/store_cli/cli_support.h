// What every command of the tool shares: refusals, the conversion of paths and
// texts at the boundary (UTF-8 outside, GBK inside), and an open store that is
// closed again on every way out.
#pragma once

#include "store/commands.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr::tools {

// Exit statuses: success (and a sound store); a failure part-way, or problems found
// by check; a refusal before anything was changed.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRefused = 2;

// A u8"" literal as a std::string (narrow literals are GBK in this project).
inline std::string u8text(std::u8string_view s) { return std::string(s.begin(), s.end()); }

// Writes "quillroll-store: <message>" as one line to standard error.
void printError(std::string_view messageUtf8);
int refuse(std::string_view messageUtf8);

// An argument (UTF-8) as the engine's GBK; false when it is not valid UTF-8.
bool argumentToGbk(std::string_view utf8, std::string& gbk);
bool isValidUtf8(std::string_view text);

// Failures that say the path, not the store's content, is the trouble: the command
// is refused (exit 2). Any other failure to open means the store is not sound (1).
bool isPathProblem(store::ResultCode code);
// Prints why a store could not be opened and gives the exit status for that code.
int openFailed(std::string_view whyUtf8, store::ResultCode code);
// The same for the code in the last-error slot, after a failed StoreSession::open.
int openFailed(std::string_view whyUtf8);

// The UTF-8 text of a result code.
std::string resultText(store::ResultCode code);

std::string fieldTypeName(store::FieldType type);

// Opens a store through the engine and closes it when it goes out of scope.
class StoreSession {
public:
    StoreSession() = default;
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;
    ~StoreSession();
    // False with a one-line reason when the engine refuses the store.
    bool open(const std::string& nameGbk, bool readOnly, std::string& why);
    // Keeps every other handle from changing the store until the session ends, and
    // reads the layout and counts again under that hold, so that what is read
    // afterwards is one state of the store (not records moved by a pack under way).
    bool holdStill(std::string& why);
    const store::StoreInfo& info() const { return info_; }

private:
    bool open_ = false;
    bool held_ = false;
    store::StoreInfo info_;
};

// Refuses a writable command up front when a writable open would change the store
// and then fail; reports the corrections a writable open will make. Returns
// kExitOk to go on, else the exit status after a printed refusal.
int preflightWritable(const std::string& nameGbk, std::string_view shownName);

// Reads a regular file of at most `limit` bytes whole. Anything else (a folder, a
// FIFO, a device such as /dev/zero, a larger file) is refused at once, without
// waiting for a writer or reading past the limit. False with a one-line reason.
bool readWholeFile(const std::string& pathUtf8, std::size_t limit, std::string& out, std::string& why);

// Limits of what the tool takes into memory: a class roster's CSV is kilobytes, a
// photo at most a few megabytes.
inline constexpr std::size_t kMaxCsvBytes = 16u << 20;
inline constexpr std::size_t kMaxPhotoBytes = 16u << 20;

} // namespace qr::tools
