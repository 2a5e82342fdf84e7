// Holding the current store still while a tool reads all of it.
#include "store/command_support.h"

namespace qr::store {

bool enterReadSection()
{
    detail::clearLastError();
    StoreHandle* store = StoreTable::instance().current();
    if (!store)
        return detail::finish(rc::kNoCurrentStore);
    return detail::finish(store->locks.enterExclusive());
}

void leaveReadSection()
{
    if (StoreHandle* store = StoreTable::instance().current())
        store->locks.leaveExclusive();
}

} // namespace qr::store
