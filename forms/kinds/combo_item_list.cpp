#include "forms/kinds/combo_item_list.h"

namespace qr::forms::kinds {
namespace {

void putU16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

} // namespace

std::vector<std::uint8_t> encodeItemList(const std::vector<std::string>& items)
{
    std::vector<std::uint8_t> out;
    if (items.size() >= 0xFFFF) {
        putU16(out, 0xFFFF);
        putU16(out, std::uint32_t(items.size()) & 0xFFFF);
        putU16(out, std::uint32_t(items.size()) >> 16);
    } else {
        putU16(out, std::uint32_t(items.size()));
    }
    for (const std::string& item : items) {
        const std::uint32_t n = std::uint32_t(item.size());
        putU16(out, n & 0xFFFF);
        putU16(out, n >> 16);
        out.insert(out.end(), item.begin(), item.end());
    }
    return out;
}

std::vector<std::string> decodeItemList(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> items;
    std::size_t pos = 0;
    auto has = [&](std::size_t n) { return bytes.size() - pos >= n; };
    auto u16 = [&] {
        std::uint32_t v = bytes[pos] | (bytes[pos + 1] << 8);
        pos += 2;
        return v;
    };
    if (!has(2))
        return items;
    std::uint32_t count = u16();
    if (count == 0xFFFF) {
        if (!has(4))
            return items;
        count = u16();
        count |= u16() << 16;
    }
    for (std::uint32_t i = 0; i < count && has(4); ++i) {
        std::uint32_t n = u16();
        n |= u16() << 16;
        if (!has(n))
            break;
        items.emplace_back(reinterpret_cast<const char*>(bytes.data() + pos), n);
        pos += n;
    }
    return items;
}

} // namespace qr::forms::kinds
