#include "forms/kinds/combo_item_list.h"

#include "runtime/coding.h"

namespace qr::forms::kinds {

std::vector<std::uint8_t> encodeItemList(const std::vector<std::string>& items)
{
    std::vector<std::uint8_t> out;
    if (items.size() >= 0xFFFF) {
        runtime::appendU16(out, 0xFFFF);
        runtime::appendU32(out, std::uint32_t(items.size()));
    } else {
        runtime::appendU16(out, std::uint16_t(items.size()));
    }
    for (const std::string& item : items) {
        const std::uint32_t n = std::uint32_t(item.size());
        runtime::appendU32(out, n);
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
        const std::uint32_t v = runtime::getU16(bytes.data() + pos);
        pos += 2;
        return v;
    };
    auto u32 = [&] {
        const std::uint32_t v = runtime::getU32(bytes.data() + pos);
        pos += 4;
        return v;
    };
    if (!has(2))
        return items;
    std::uint32_t count = u16();
    if (count == 0xFFFF) {
        if (!has(4))
            return items;
        count = u32();
    }
    for (std::uint32_t i = 0; i < count && has(4); ++i) {
        const std::uint32_t n = u32();
        if (!has(n))
            break;
        items.emplace_back(reinterpret_cast<const char*>(bytes.data() + pos), n);
        pos += n;
    }
    return items;
}

} // namespace qr::forms::kinds
