#include "tools/store_cli/cli_support.h"

#include "runtime/gbk.h"
#include "store/check/open_preview.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::tools {

void printError(std::string_view message)
{
    std::string line = "quillroll-store: ";
    for (char c : message)
        line += (c == '\n' || c == '\r') ? ' ' : c; // one line, whatever the message holds
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

int refuse(std::string_view message)
{
    printError(message);
    return kExitRefused;
}

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size())
                return false;
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (t & 0x3F);
        }
        static constexpr std::uint32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

bool argumentToGbk(std::string_view utf8, std::string& gbk)
{
    if (!isValidUtf8(utf8))
        return false;
    gbk = runtime::utf8ToGbk(utf8);
    return runtime::gbkToUtf8(gbk) == utf8;
}

bool isPathProblem(store::ResultCode code)
{
    using namespace store::rc;
    return code == kFileNotFound || code == kBadPath || code == kAccessDenied || code == kInvalidHandle ||
           code == kTooManyOpenFiles || code == kSharingViolation || code == kLockViolation;
}

int openFailed(std::string_view why, store::ResultCode code)
{
    printError(why);
    return isPathProblem(code) ? kExitRefused : kExitFailed;
}

int openFailed(std::string_view why) { return openFailed(why, store::lastError()); }

std::string resultText(store::ResultCode code)
{
    return runtime::gbkToUtf8(store::errorText(code)) + " (" + std::to_string(code.value()) + ")";
}

std::string fieldTypeName(store::FieldType type)
{
    switch (type) {
    case store::FieldType::Byte: return "byte";
    case store::FieldType::Short: return "short";
    case store::FieldType::Integer: return "integer";
    case store::FieldType::Long: return "long";
    case store::FieldType::Float: return "float";
    case store::FieldType::Double: return "double";
    case store::FieldType::Logical: return "logical";
    case store::FieldType::DateTime: return "datetime";
    case store::FieldType::SubprogramPointer: return "subprogram";
    case store::FieldType::Text: return "text";
    case store::FieldType::ByteSet: return "byteset";
    case store::FieldType::Memo: return "memo";
    }
    return "type " + std::to_string(static_cast<std::uint32_t>(type));
}

StoreSession::~StoreSession()
{
    if (held_)
        store::leaveReadSection();
    if (open_)
        store::closeStore();
}

bool StoreSession::holdStill(std::string& why)
{
    if (!store::enterReadSection()) {
        why = "cannot hold the store still while it is read (another program keeps it busy): " +
              resultText(store::lastError());
        return false;
    }
    held_ = true;
    if (!store::currentStoreInfo(info_)) {
        why = "cannot read the layout: " + resultText(store::lastError());
        return false;
    }
    return true;
}

bool StoreSession::open(const std::string& nameGbk, bool readOnly, std::string& why)
{
    store::OpenOptions options;
    options.readOnly = readOnly;
    if (!store::openStore(nameGbk, options)) {
        why = "cannot open " + runtime::gbkToUtf8(nameGbk) + ": " + resultText(store::lastError());
        return false;
    }
    open_ = true;
    if (!store::currentStoreInfo(info_)) {
        why = "cannot read the layout of " + runtime::gbkToUtf8(nameGbk) + ": " + resultText(store::lastError());
        return false;
    }
    return true;
}

int preflightWritable(const std::string& nameGbk, std::string_view shownName)
{
    const store::OpenPreview preview = store::previewWritableOpen(nameGbk);
    if (preview.result != store::rc::kOk)
        return openFailed("cannot open " + std::string(shownName) + ": " + resultText(preview.result), preview.result);
    for (const std::string& c : preview.corrections)
        std::cout << "note: opening " << shownName << " for writing corrects it: " << c << '\n';
    return kExitOk;
}

bool readWholeFile(const std::string& path, std::size_t limit, std::string& out, std::string& why)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why =
            S_ISDIR(st.st_mode) ? "it is a folder, not a file" : "it is not a regular file (a device, pipe or socket)";
        ::close(fd);
        return false;
    }
    const auto tooLarge = [&] {
        why = "it is larger than the " + std::to_string(limit >> 20) + " MiB this command reads";
        ::close(fd);
        return false;
    };
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return tooLarge();
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        // The file may grow while it is read.
        if (out.size() + static_cast<std::size_t>(n) > limit)
            return tooLarge();
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

} // namespace qr::tools
