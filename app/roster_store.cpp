#include "app/roster_store.h"

namespace qr::app {

RosterStore::RosterStore(std::string_view path)
    : path_(path)
    , open_(store::openStore(path))
{}

RosterStore::~RosterStore() { close(); }

void RosterStore::close()
{
    if (!open_)
        return;
    select();
    store::closeStore();
    open_ = false;
}

void RosterStore::select()
{
    // A store that is not open leaves none current: the command then fails as on no
    // store, instead of acting on another one.
    const bool selected = store::selectStore(path_);
    (void)selected;
}

std::int32_t RosterStore::recordCount()
{
    select();
    return store::recordCount();
}

bool RosterStore::goToRecord(std::int32_t recordNumber)
{
    select();
    return store::goToRecord(recordNumber);
}

runtime::Value RosterStore::readField(std::int32_t fieldNumber)
{
    select();
    return store::readField(fieldNumber);
}

bool RosterStore::addRecord(std::span<const runtime::Value> values)
{
    select();
    return store::addRecord(values);
}

bool RosterStore::changeRecord(std::span<const runtime::Value> values)
{
    select();
    return store::changeRecord(values);
}

bool RosterStore::deleteRecord()
{
    select();
    return store::deleteRecord();
}

bool RosterStore::pack()
{
    select();
    return store::pack();
}

bool RosterStore::clear()
{
    select();
    return store::clearStore();
}

bool RosterStore::find(const store::Condition& condition)
{
    select();
    return store::find(condition);
}

bool RosterStore::beginUnit()
{
    select();
    return store::beginUnit();
}

bool RosterStore::endUnit()
{
    select();
    return store::endUnit();
}

} // namespace qr::app
