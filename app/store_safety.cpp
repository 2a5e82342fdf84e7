#include "app/store_safety.h"

#include "app/app_paths.h"
#include "app/messages.h"
#include "roster/backups.h"
#include "runtime/gbk.h"

#include <sys/stat.h>

namespace qr::app {

namespace {

bool runDirectoryInPlace()
{
    struct stat st {};
    return ::stat(runtime::gbkToUtf8(configFilePath()).c_str(), &st) == 0;
}

} // namespace

bool backUpBeforeIrreversible()
{
    if (roster::backUpStores(dataDirectory()).ok)
        return true;
    notify(text::kBackupFailed, flags::kIconExclamation, text::kStoreTroubleTitle);
    return false;
}

runtime::Text unopenableStoreMessage(StoreKind kind)
{
    const bool roster = kind == StoreKind::Roster;
    runtime::Text message(roster ? text::kRosterUnopenable : text::kRecycleUnopenable);
    message += roster ? rosterStorePath() : recycleStorePath();
    message += roster ? text::kRosterUnopenableHint : text::kRecycleUnopenableHint;
    if (const auto newest = roster::newestBackup(dataDirectory())) {
        message += text::kNewestBackup;
        message += *newest;
        message += text::kRestoreCommand;
        message += *newest;
    }
    return message;
}

bool reportUnopenableStore(StoreKind kind)
{
    if (!runDirectoryInPlace())
        return false;
    notify(unopenableStoreMessage(kind), flags::kIconExclamation, text::kStoreTroubleTitle);
    return true;
}

} // namespace qr::app
