// Units of several writing commands in one transaction (store/journal.h).
#include "store/command_support.h"

namespace qr::store {

using detail::finish;

bool beginUnit()
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    return finish(detail::beginWrite(*store));
}

bool endUnit()
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return finish(rc::kNoCurrentStore);
    return finish(store->journal.end());
}

} // namespace qr::store
