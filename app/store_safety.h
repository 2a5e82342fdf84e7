// The application's side of the backups: one made before every action that cannot be
// undone, and the message shown when a store of the run directory cannot be opened.
#pragma once

#include "runtime/value.h"

namespace qr::app {

enum class StoreKind { Roster, Recycle };

// Backs up both stores before an irreversible action. When the backup cannot be
// made, says so (flags 48) and returns false: the action must not go on unprotected.
bool backUpBeforeIrreversible();

// When the store cannot be opened although the run directory is in place (its
// config.ini is there), tells the teacher (flags 48) which file, and the newest
// backup with the command that restores it; returns whether it did. A run directory
// without config.ini is a first start, where no store being there is no news.
bool reportUnopenableStore(StoreKind kind);

// The text of that message (GBK).
runtime::Text unopenableStoreMessage(StoreKind kind);

} // namespace qr::app
