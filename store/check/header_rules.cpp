#include "store/check/header_rules.h"

#include "runtime/coding.h"
#include "runtime/gbk.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace qr::store::check {
namespace {

constexpr std::uint32_t kVersion = 0x10000;

struct ZeroRange {
    std::int64_t start;
    std::int64_t size;
    const char* what;
};

// Names the non-zero bytes of [start, start + size) of `bytes`, or "" when all are zero.
std::string nonZeroBytes(const unsigned char* bytes, std::int64_t start, std::int64_t size)
{
    std::int64_t first = -1, count = 0;
    for (std::int64_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            if (first < 0)
                first = start + i;
            ++count;
        }
    }
    if (count == 0)
        return {};
    return std::to_string(count) + (count == 1 ? " non-zero byte" : " non-zero bytes") + ", the first at offset " +
           std::to_string(first);
}

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// One two-byte GBK character allowed in names; `digit` tells a full-width digit.
bool isNameCharacter(unsigned char lead, unsigned char trail, bool& digit)
{
    const unsigned code = unsigned(lead) << 8 | trail;
    digit = code >= 0xA3B0 && code <= 0xA3B9;
    if (digit || (code >= 0xA3C1 && code <= 0xA3DA) || (code >= 0xA3E1 && code <= 0xA3FA))
        return true;
    if ((lead >= 0x81 && lead <= 0xA0) || lead >= 0xAA)
        return true; // the Chinese character areas
    return (code >= 0xA4A1 && code <= 0xA4F3) || (code >= 0xA5A1 && code <= 0xA5F6) || code == 0xA960;
}

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

unsigned char folded(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

} // namespace

bool isValidFieldName(std::string_view name)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++characters) {
        const auto c = static_cast<unsigned char>(name[i]);
        bool digit = false;
        if (c < 0x80) {
            digit = isAsciiDigit(c);
            if (!digit && !isAsciiLetter(c) && c != '_')
                return false;
            ++i;
        } else {
            if (i + 1 >= name.size() || !isNameCharacter(c, static_cast<unsigned char>(name[i + 1]), digit))
                return false;
            i += 2;
        }
        if (characters == 0 && digit)
            return false;
    }
    return characters >= 1 && characters < 16;
}

bool sameFieldName(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    for (; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) {
            // Two-byte characters compare exactly, their second byte included.
            if (x != y || i + 1 >= a.size() || i + 1 >= b.size() || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (folded(x) != folded(y)) {
            return false;
        }
    }
    return i == a.size() && i == b.size();
}

void checkDataHeaderRules(const RawFile& data, const RawDataHeader& header, ProblemList& problems)
{
    unsigned char head[kHeaderSize];
    if (data.readAt(0, head, sizeof head) != kHeaderSize)
        return; // readDataHeader has just read it; a file cut since is reported elsewhere
    if (header.version != kVersion)
        problems.add("the data file's header gives version " + hex(header.version) +
                     ", where every store is written with 0x10000");
    const ZeroRange zeros[] = {
        {8, 8, "reserved bytes 8 to 15"},
        {28, 32, "password check text (bytes 28 to 59, unused without a password)"},
        {60, 52, "reserved bytes 60 to 111"},
    };
    for (const ZeroRange& z : zeros)
        if (std::string what = nonZeroBytes(head + z.start, z.start, z.size); !what.empty())
            problems.add("the data file's header holds " + what + ", in its " + z.what + ", which are always zero");

    const std::size_t n = header.fields.size();
    std::vector<unsigned char> defs(static_cast<std::size_t>(kFieldDefSize) * n);
    if (data.readAt(kFieldDefOffset, defs.data(), defs.size()) != static_cast<std::int64_t>(defs.size()))
        return;
    for (std::size_t i = 0; i < n; ++i) {
        const RawField& f = header.fields[i];
        const unsigned char* d = defs.data() + kFieldDefSize * static_cast<std::int64_t>(i);
        const std::int64_t at = kFieldDefOffset + kFieldDefSize * static_cast<std::int64_t>(i);
        const std::string label = "field " + std::to_string(i + 1) + " (" + runtime::gbkToUtf8(f.nameGbk) + ")";
        const std::size_t afterName = f.nameGbk.size() + 1;
        if (std::string what = nonZeroBytes(d + afterName, at + static_cast<std::int64_t>(afterName),
                                            20 - static_cast<std::int64_t>(afterName));
            !what.empty())
            problems.add(label + " holds " + what + ", after the end of its name, where the name's bytes are zero");
        if (std::string what = nonZeroBytes(d + 32, at + 32, 40); !what.empty())
            problems.add(label + " holds " + what + ", in its reserved bytes 32 to 71, which are always zero");
        if (!isValidFieldName(f.nameGbk))
            problems.add(label + " has a name that breaks the field-name rule (letters, digits, underline or "
                                 "Chinese characters, not a digit first, fewer than 16 characters)");
        for (std::size_t j = 0; j < i; ++j)
            if (sameFieldName(header.fields[j].nameGbk, f.nameGbk))
                problems.add(label + " has the same name as field " + std::to_string(j + 1) +
                             ", so lookup by name never reaches it");
    }
}

void checkAuxHeaderRules(const RawFile& aux, ProblemList& problems)
{
    unsigned char block[kBlockSize];
    const std::int64_t got = aux.readAt(0, block, sizeof block);
    if (got < 32)
        return;
    if (const auto version = static_cast<std::uint32_t>(runtime::getI32(block + 4)); version != kVersion)
        problems.add("the auxiliary file's header gives version " + hex(version) +
                     ", where every store is written with 0x10000");
    const ZeroRange zeros[] = {
        {8, 8, "reserved bytes 8 to 15"},
        {28, 4, "reserved bytes 28 to 31"},
        {32, std::min<std::int64_t>(got, kBlockSize) - 32, "unused bytes 32 to 511 of block 0"},
    };
    for (const ZeroRange& z : zeros)
        if (z.size > 0)
            if (std::string what = nonZeroBytes(block + z.start, z.start, z.size); !what.empty())
                problems.add("the auxiliary file's block 0 holds " + what + ", in its " + z.what +
                             ", which are always zero");
}

} // namespace qr::store::check
