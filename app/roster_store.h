// One of the application's stores, named by its file. The engine's commands act on
// whichever store is current; a RosterStore makes its own store current before each
// command, so no code of the application depends on which store happens to be
// current. Opened for one piece of work (the file alone: no alias, password or
// index, default access and share mode) and closed when the scope ends.
#pragma once

#include "runtime/value.h"
#include "store/commands.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace qr::app {

class RosterStore {
public:
    explicit RosterStore(std::string_view path);
    ~RosterStore();
    RosterStore(const RosterStore&) = delete;
    RosterStore& operator=(const RosterStore&) = delete;

    bool isOpen() const { return open_; }
    // Closes it now (a second close is harmless).
    void close();

    // The engine's commands on this store, with their results and last error. On a
    // store that is not open no store is current, so each fails as it does without one.
    std::int32_t recordCount();
    bool goToRecord(std::int32_t recordNumber);
    // A field of the current record. The store must be open: reading with no
    // current store ends the program through the runtime error report.
    runtime::Value readField(std::int32_t fieldNumber);
    bool addRecord(std::span<const runtime::Value> values);
    bool changeRecord(std::span<const runtime::Value> values);
    bool deleteRecord();
    bool pack();
    bool clear();
    // The condition's sub-statement may read this store's record under test.
    bool find(const store::Condition& condition);
    // The writing commands between these two are one atomic change of the store:
    // a crash leaves it as before beginUnit or as after endUnit, and the whole of it
    // costs one commit. Closing the store ends a unit still open.
    bool beginUnit();
    bool endUnit();

private:
    void select();

    runtime::Text path_;
    bool open_ = false;
};

} // namespace qr::app
