// OLE2 compound files (the container of .xls workbooks), read and written through
// libgsf. A file is held whole in memory as a tree of storages and streams, so that a
// workbook can be rewritten with every other stream of the container carried over.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qr::xls {

struct CompoundNode {
    std::string name; // UTF-8, as libgsf gives it; empty for the root
    bool isStorage = false;
    std::vector<std::uint8_t> bytes;    // stream contents (streams only)
    std::vector<CompoundNode> children; // storages only, in directory order
    bool hasClassId = false;            // root only: the container's class id
    std::array<std::uint8_t, 16> classId{};

    CompoundNode* findStream(std::string_view streamName);
};

// Parses a whole compound file. On failure returns false and says why in `error`;
// a damaged container (broken sector chains, cut short) fails here, never crashes.
bool readCompoundFile(std::span<const std::uint8_t> file, CompoundNode& root, std::string& error);

// Serialises the tree into a compound file image.
bool writeCompoundFile(const CompoundNode& root, std::vector<std::uint8_t>& file, std::string& error);

} // namespace qr::xls
