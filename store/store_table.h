// The open stores of the process, in opening order, and which one is current.
// Process-wide and not locked: the commands run on the application's one thread.
#pragma once

#include "store/aux_file.h"
#include "store/data_file.h"
#include "store/data_locks.h"
#include "store/env.h"
#include "store/journal.h"
#include "store/journaled_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qr::store {

struct StoreHandle {
    explicit StoreHandle(std::unique_ptr<File> dataFile)
        : data(std::make_unique<JournaledFile>(std::move(dataFile), journal, JournalWriter::kDataFile))
        , locks(*data)
    {}

    // Declared before the files that report to it, so that it outlives them.
    JournalWriter journal;
    std::unique_ptr<JournaledFile> data;
    DataLocks locks; // refers to *data
    std::unique_ptr<AuxFile> aux;
    DataLayout layout;
    std::string fullPath; // GBK
    std::string title;
    std::string alias;
    FileIdentity identity;
    std::int32_t current = 0;           // 0-based
    const std::uint8_t* scan = nullptr; // the record under test of find and delete

    std::int64_t recordPosition(std::int64_t index) const { return layout.recordPosition(index); }
    // The auxiliary file, its changes seen by the journal as the data file's are.
    void attachAux(std::unique_ptr<File> file);
};

class StoreTable {
public:
    static StoreTable& instance();

    StoreHandle* current();
    void makeCurrent(const StoreHandle* handle); // nullptr: none
    // A store already open in this process on the same file, or on a full path that
    // compares equal as names do.
    bool isOpen(const FileIdentity* identity, std::string_view fullPath) const;
    StoreHandle* findOpen(const FileIdentity* identity, std::string_view fullPath) const;
    void add(std::unique_ptr<StoreHandle> handle); // becomes the current store
    // Name: alias, then file title, then full path, each the last-opened match.
    StoreHandle* findByName(std::string_view name);
    void close(StoreHandle* handle);

private:
    std::vector<std::unique_ptr<StoreHandle>> handles_;
    std::int32_t current_ = -1;
};

} // namespace qr::store
