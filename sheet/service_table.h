// The lower layer of the external-database component: a table of named service
// entries. The component looks an entry up by name for every call; a name that
// is not in the table makes the component method do nothing.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qr::sheet {

// Identifies one open connection of the service; 0 means none.
using ConnectionHandle = std::int64_t;

// One call of a service entry: the component's connection handle and the
// entry's arguments in order.
struct ServiceCall {
    ConnectionHandle connection = 0;
    std::span<const runtime::Value> args;
};

// Every entry takes the same call frame and answers one value (None when it
// has nothing to give).
using ServiceEntryPoint = runtime::Value (*)(const ServiceCall& call);

struct ServiceEntry {
    std::string name;
    std::uint32_t nameHash = 0;
    ServiceEntryPoint entry = nullptr;
};

class ServiceTable {
public:
    ServiceTable() = default;

    // Adds an entry or replaces the entry point of an entry of the same name.
    void add(std::string_view name, ServiceEntryPoint entry);
    void remove(std::string_view name);
    // nullptr when the table has no entry of that exact name.
    ServiceEntryPoint find(std::string_view name) const;

    const std::vector<ServiceEntry>& entries() const { return entries_; }

    // FNV-1a over the name's bytes; looked at before the name itself.
    static std::uint32_t hashName(std::string_view name);

private:
    std::vector<ServiceEntry> entries_;
};

} // namespace qr::sheet
