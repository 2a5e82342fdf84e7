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
    const store::StoreInfo& info() const { return info_; }

private:
    bool open_ = false;
    store::StoreInfo info_;
};

// Refuses a writable command up front when a writable open would change the store
// and then fail; reports the corrections a writable open will make. Returns
// kExitOk to go on, else the exit status after a printed refusal.
int preflightWritable(const std::string& nameGbk, std::string_view shownName);

// Whole-file helpers; false with errno set on failure.
bool readWholeFile(const std::string& pathUtf8, std::string& out);

} // namespace qr::tools
