// Writes store files byte by byte, as the format lays them down, so that the checker
// can be tested on sound and on deliberately broken stores without the engine.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace qr::tests {

inline void putInt32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t v)
{
    if (bytes.size() < at + 4)
        bytes.resize(at + 4);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

struct RawFieldDef {
    std::string name; // GBK
    std::uint32_t type;
    std::int32_t offset;
    std::int32_t size;
};

struct RawStoreImage {
    std::uint32_t version = 0x10000;
    std::int32_t nextSerial = 1;
    std::int32_t recordLength = 28;
    std::vector<RawFieldDef> fields = {{"Num", 3, 4, 0}, {"Photo", 11, 8, 0}, {"Name", 10, 12, 16}};
    std::vector<std::vector<std::uint8_t>> records;
    std::int32_t recordCountOverride = -1; // -1: the number of records

    // Auxiliary file: blocks[0] is the header block.
    std::vector<std::array<std::uint8_t, 512>> blocks = {std::array<std::uint8_t, 512>{}};
    std::int32_t freeCount = 0;
    std::int32_t freeHead = 0;

    void setBlock(std::int32_t n, std::int32_t prev, std::int32_t next, std::int32_t used, std::uint8_t fill = 0)
    {
        if (static_cast<std::size_t>(n) >= blocks.size())
            blocks.resize(static_cast<std::size_t>(n) + 1, std::array<std::uint8_t, 512>{});
        auto& b = blocks[static_cast<std::size_t>(n)];
        b.fill(0);
        std::vector<std::uint8_t> head;
        putInt32(head, 0, prev);
        putInt32(head, 4, next);
        putInt32(head, 8, used);
        std::memcpy(b.data(), head.data(), 12);
        const std::int32_t data = used < 0 ? 0 : (used > 500 ? 500 : used);
        std::memset(b.data() + 12, fill ? fill : 0x5A, static_cast<std::size_t>(data));
    }

    // Appends a value of n bytes as a chain at the end of the file; returns its first block.
    std::int32_t appendChain(std::int32_t n)
    {
        const auto first = static_cast<std::int32_t>(blocks.size());
        const std::int32_t count = (n + 499) / 500;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t used = i + 1 < count ? 500 : n - 500 * i;
            setBlock(first + i, i == 0 ? 0 : first + i - 1, i + 1 < count ? first + i + 1 : 0, used);
        }
        return first;
    }

    // A free list over the given blocks, in this order.
    void setFreeList(const std::vector<std::int32_t>& list)
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            setBlock(list[i], i == 0 ? 0 : list[i - 1], i + 1 < list.size() ? list[i + 1] : 0, 0);
        freeHead = list.empty() ? 0 : list[0];
        freeCount = static_cast<std::int32_t>(list.size());
    }

    void addRecord(std::int32_t status, std::int32_t number, std::int32_t photo, const std::string& name)
    {
        std::vector<std::uint8_t> r(static_cast<std::size_t>(recordLength), 0);
        putInt32(r, 0, status);
        putInt32(r, 4, number);
        putInt32(r, 8, photo);
        std::memcpy(r.data() + 12, name.data(), name.size() < 16 ? name.size() : 16);
        r.resize(static_cast<std::size_t>(recordLength));
        records.push_back(r);
    }

    std::vector<std::uint8_t> dataBytes() const
    {
        std::vector<std::uint8_t> d(116 + 72 * fields.size(), 0);
        std::memcpy(d.data(), "WEDB", 4);
        putInt32(d, 4, static_cast<std::int32_t>(version));
        putInt32(d, 16, recordCountOverride >= 0 ? recordCountOverride : static_cast<std::int32_t>(records.size()));
        putInt32(d, 20, nextSerial);
        putInt32(d, 24, recordLength);
        putInt32(d, 112, static_cast<std::int32_t>(fields.size()));
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::size_t at = 116 + 72 * i;
            std::memcpy(d.data() + at, fields[i].name.data(), fields[i].name.size());
            putInt32(d, at + 20, static_cast<std::int32_t>(fields[i].type));
            putInt32(d, at + 24, fields[i].offset);
            putInt32(d, at + 28, fields[i].size);
        }
        for (const auto& r : records)
            d.insert(d.end(), r.begin(), r.end());
        return d;
    }

    std::vector<std::uint8_t> auxBytes() const
    {
        std::vector<std::uint8_t> a;
        for (const auto& b : blocks)
            a.insert(a.end(), b.begin(), b.end());
        std::memcpy(a.data(), "WEDT", 4);
        putInt32(a, 4, static_cast<std::int32_t>(version));
        putInt32(a, 16, static_cast<std::int32_t>(blocks.size()));
        putInt32(a, 20, freeCount);
        putInt32(a, 24, freeHead);
        return a;
    }

    // Writes <stem>.edb and <stem>.EDT.
    void write(const std::string& stem) const
    {
        writeBytes(stem + ".edb", dataBytes());
        writeBytes(stem + ".EDT", auxBytes());
    }

    static void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

} // namespace qr::tests
