#include "store/store_copy.h"

#include "store/command_support.h"
#include "store/lock_retry.h"
#include "store/paths.h"

#include <algorithm>
#include <vector>

namespace qr::store {

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;
constexpr std::int32_t kMinimumWaitMs = 2000;

ResultCode copyContents(File& source, File& target)
{
    std::int64_t length = 0;
    if (ResultCode code = source.length(length); code != rc::kOk)
        return code;
    std::vector<std::uint8_t> buffer;
    if (ResultCode code =
            detail::allocate(buffer, static_cast<std::size_t>(std::min<std::int64_t>(length, kCopyChunk)));
        code != rc::kOk)
        return code;
    for (std::int64_t offset = 0; offset < length;) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length - offset, kCopyChunk));
        std::size_t got = 0;
        if (ResultCode code = source.readAt(offset, buffer.data(), want, got); code != rc::kOk)
            return code;
        if (got != want)
            return rc::kEndOfFile; // the file shrank under locks that should forbid it
        if (ResultCode code = target.writeAt(offset, buffer.data(), got); code != rc::kOk)
            return code;
        offset += static_cast<std::int64_t>(got);
    }
    return rc::kOk;
}

StoreHandle* openHandleNamed(std::string_view name)
{
    Env& env = storeEnv();
    const std::string path = fullPath(withDefaultExtension(name), env.currentDirectory());
    FileIdentity identity;
    const bool exists = env.identityOf(path, identity) == rc::kOk;
    return StoreTable::instance().findOpen(exists ? &identity : nullptr, path);
}

// Keeps the process-wide retry time-out at least `minimum` while it lives.
class RetryAtLeast {
public:
    explicit RetryAtLeast(std::int32_t minimum)
        : saved_(lockRetryTimeoutSetting())
    {
        if (saved_ >= 0 && saved_ < minimum)
            setLockRetryTimeoutSetting(minimum);
    }
    ~RetryAtLeast() { setLockRetryTimeoutSetting(saved_); }
    RetryAtLeast(const RetryAtLeast&) = delete;
    RetryAtLeast& operator=(const RetryAtLeast&) = delete;

private:
    std::int32_t saved_;
};

} // namespace

ResultCode copyFileTo(File& source, std::string_view targetPath)
{
    Env& env = storeEnv();
    std::unique_ptr<File> target;
    if (ResultCode code = env.openFile(targetPath, OpenMode::CreateNew, target); code != rc::kOk)
        return code;
    const ResultCode code = copyContents(source, *target);
    target.reset();
    if (code != rc::kOk)
        (void)env.removeFile(targetPath);
    return code;
}

bool copyOpenStores(std::span<const StoreFilesCopy> copies)
{
    detail::clearLastError();
    std::vector<StoreHandle*> handles;
    for (const StoreFilesCopy& copy : copies) {
        StoreHandle* handle = openHandleNamed(copy.storeName);
        if (handle == nullptr)
            return detail::finish(rc::kStoreNotOpen);
        handles.push_back(handle);
    }
    const RetryAtLeast retry(kMinimumWaitMs);
    std::size_t entered = 0;
    ResultCode result = rc::kOk;
    for (; entered < handles.size(); ++entered) {
        result = handles[entered]->locks.enterExclusive();
        if (result != rc::kOk)
            break;
    }
    if (result == rc::kOk) {
        for (std::size_t i = 0; i < handles.size() && result == rc::kOk; ++i) {
            result = copyFileTo(*handles[i]->data, copies[i].dataCopy);
            if (result == rc::kOk && handles[i]->aux)
                result = copyFileTo(handles[i]->aux->file(), copies[i].auxCopy);
        }
    }
    while (entered > 0)
        handles[--entered]->locks.leaveExclusive();
    return detail::finish(result);
}

} // namespace qr::store
