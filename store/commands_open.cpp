// Open, close and select: the store table's entries come and go, and one is current.
#include "store/command_support.h"
#include "store/formats.h"
#include "store/journal.h"
#include "store/lock_retry.h"
#include "store/names.h"
#include "store/paths.h"
#include "store/share_mode.h"

namespace qr::store {

using detail::finish;

namespace {

constexpr std::size_t kMaxIndexFiles = 10;

// Opens one file of the store with the access and share mode of the open, retrying
// while another handle's share mode refuses us.
ResultCode openShared(Env& env, std::string_view path, bool readOnly, ShareMode share, std::unique_ptr<File>& file)
{
    return retryRefused([&] {
        std::unique_ptr<File> opened;
        ResultCode code = env.openFile(path, readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite, opened);
        if (code == rc::kOk)
            code = claimShareMode(*opened, share);
        if (code == rc::kOk)
            file = std::move(opened);
        return code;
    });
}

ResultCode openStoreHandle(std::string_view fileName, const OpenOptions& options, std::unique_ptr<StoreHandle>& out)
{
    if (fileName.empty())
        return rc::kFileNotFound;
    if (!options.alias.empty() && !followsNameCharacterRule(options.alias))
        return rc::kInvalidAlias;

    Env& env = storeEnv();
    const std::string path = fullPath(withDefaultExtension(fileName), env.currentDirectory());
    // "Already open" means the same file, however it is named: a relative path,
    // "./x.edb" or a link all lead to the same device and inode. Names that differ
    // only in letter case count as the same store as well.
    FileIdentity identity;
    const bool exists = env.identityOf(path, identity) == rc::kOk;
    StoreTable& table = StoreTable::instance();
    if (table.isOpen(exists ? &identity : nullptr, path))
        return rc::kAlreadyOpen;

    // A writer that died left its journal: the store is put back as it was before
    // anything of it is read.
    if (ResultCode code = recoverAtOpen(env, path, auxiliaryPath(path)); code != rc::kOk)
        return code;

    const ShareMode share = shareModeFromArgument(options.shareMode.has_value(), options.shareMode.value_or(1));
    std::unique_ptr<File> dataFile;
    if (ResultCode code = openShared(env, path, options.readOnly, share, dataFile); code != rc::kOk)
        return code;
    // The name may have changed its target between the look-up and the open.
    if (const FileIdentity opened = dataFile->identity(); table.isOpen(&opened, path))
        return rc::kAlreadyOpen;

    auto handle = std::make_unique<StoreHandle>(std::move(dataFile));
    if (handle->data->writable())
        handle->journal.attach(journalPath(path), &handle->data->inner());
    // While we read the header no other handle may append or pack; deny-read modes
    // already keep everyone else out.
    const bool holdWholeFile = share == ShareMode::None || share == ShareMode::DenyWrite;
    if (holdWholeFile)
        if (ResultCode code = handle->locks.lock(DataLocks::kWholeFile); code != rc::kOk)
            return code;
    // The corrections of a writable open are one transaction; its writer lock is
    // taken only when a correction is needed (store/journal.h).
    if (ResultCode code = handle->journal.begin(true); code != rc::kOk)
        return code;
    ResultCode opened = [&]() -> ResultCode {
        const std::string_view password = options.password;
        if (ResultCode code = readDataLayout(*handle->data, password, handle->layout); code != rc::kOk)
            return code;
        if (handle->layout.hasChainFields()) {
            std::unique_ptr<File> auxFile;
            if (openShared(env, auxiliaryPath(path), options.readOnly, share, auxFile) != rc::kOk)
                return rc::kAuxReadFailed;
            handle->attachAux(std::move(auxFile));
            if (ResultCode code = handle->aux->checkAtOpen(handle->layout.version); code != rc::kOk)
                return code;
        }
        // Index files have no format we know; a caller naming one gets a refusal
        // rather than a store whose indexes silently go stale.
        if (options.indexFiles.size() > kMaxIndexFiles)
            return rc::kTooManyIndexFiles;
        if (!options.indexFiles.empty())
            return rc::kIndexOpenFailed;
        return rc::kOk;
    }();
    const ResultCode corrected = handle->journal.end();
    if (opened == rc::kOk && corrected != rc::kOk)
        opened = corrected;
    if (holdWholeFile) {
        const ResultCode unlocked = handle->locks.unlock(DataLocks::kWholeFile);
        if (opened == rc::kOk && unlocked != rc::kOk)
            return unlocked;
    }
    if (opened != rc::kOk)
        return opened;

    handle->locks.setExclusiveCount(share == ShareMode::DenyRead || share == ShareMode::DenyReadWrite ? 1 : 0);
    handle->fullPath = path;
    handle->title = fileTitle(path);
    handle->alias = options.alias;
    handle->identity = handle->data->identity();
    handle->current = 0;
    out = std::move(handle);
    return rc::kOk;
}

} // namespace

bool openStore(std::string_view fileName, const OpenOptions& options)
{
    detail::clearLastError();
    std::unique_ptr<StoreHandle> handle;
    const ResultCode code = openStoreHandle(fileName, options, handle);
    if (code == rc::kOk)
        StoreTable::instance().add(std::move(handle));
    return finish(code);
}

void closeStore()
{
    detail::clearLastError();
    StoreTable& table = StoreTable::instance();
    if (StoreHandle* h = table.current())
        table.close(h);
}

void closeStore(std::string_view name)
{
    detail::clearLastError();
    StoreTable& table = StoreTable::instance();
    if (StoreHandle* h = table.findByName(name))
        table.close(h);
}

bool selectStore(std::string_view fileName)
{
    detail::clearLastError();
    StoreTable& table = StoreTable::instance();
    StoreHandle* handle = nullptr;
    if (!fileName.empty()) {
        // The same file however it is named, as open decides "already open".
        Env& env = storeEnv();
        const std::string path = fullPath(withDefaultExtension(fileName), env.currentDirectory());
        FileIdentity identity;
        const bool exists = env.identityOf(path, identity) == rc::kOk;
        handle = table.findOpen(exists ? &identity : nullptr, path);
    }
    table.makeCurrent(handle);
    return finish(handle != nullptr ? rc::kOk : rc::kStoreNotOpen);
}

} // namespace qr::store
