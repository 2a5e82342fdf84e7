#include "xlsodbc/biff_strings.h"

#include <algorithm>

namespace qr::xls {

bool ContinuedReader::skipEmptyParts()
{
    while (part_ < parts_.size() && pos_ >= parts_[part_].size()) {
        ++part_;
        pos_ = 0;
    }
    return part_ < parts_.size();
}

bool ContinuedReader::atEnd() { return !skipEmptyParts(); }

bool ContinuedReader::u8(std::uint8_t& v)
{
    if (!skipEmptyParts())
        return false;
    v = parts_[part_][pos_++];
    return true;
}

bool ContinuedReader::u16(std::uint16_t& v)
{
    std::uint8_t a, b;
    if (!u8(a) || !u8(b))
        return false;
    v = static_cast<std::uint16_t>(a | (b << 8));
    return true;
}

bool ContinuedReader::u32(std::uint32_t& v)
{
    std::uint16_t a, b;
    if (!u16(a) || !u16(b))
        return false;
    v = a | (static_cast<std::uint32_t>(b) << 16);
    return true;
}

bool ContinuedReader::bytes(std::size_t n, std::vector<std::uint8_t>* out)
{
    while (n > 0) {
        if (!skipEmptyParts())
            return false;
        const std::size_t take = std::min(n, parts_[part_].size() - pos_);
        if (out)
            out->insert(out->end(), parts_[part_].begin() + pos_, parts_[part_].begin() + pos_ + take);
        pos_ += take;
        n -= take;
    }
    return true;
}

bool ContinuedReader::chars(std::size_t count, bool highByte, std::u16string& out)
{
    while (count > 0) {
        if (part_ >= parts_.size())
            return false;
        if (pos_ >= parts_[part_].size()) {
            // The characters go on in the next CONTINUE, behind a fresh flag byte.
            ++part_;
            pos_ = 0;
            if (part_ >= parts_.size() || parts_[part_].empty())
                return false;
            highByte = parts_[part_][0] & 0x01;
            pos_ = 1;
            continue;
        }
        const std::span<const std::uint8_t> p = parts_[part_];
        const std::size_t unit = highByte ? 2 : 1;
        const std::size_t n = std::min(count, (p.size() - pos_) / unit);
        if (n == 0)
            return false; // half a character left in the record
        for (std::size_t i = 0; i < n; ++i) {
            out.push_back(highByte ? static_cast<char16_t>(getU16(p.data() + pos_)) : static_cast<char16_t>(p[pos_]));
            pos_ += unit;
        }
        count -= n;
    }
    return true;
}

bool readUnicodeString(ContinuedReader& in, bool shortLength, std::u16string& text, SstEntry* entry)
{
    std::uint16_t cch = 0;
    if (shortLength) {
        std::uint8_t c;
        if (!in.u8(c))
            return false;
        cch = c;
    } else if (!in.u16(cch)) {
        return false;
    }
    std::uint8_t flags;
    if (!in.u8(flags))
        return false;
    std::uint16_t runCount = 0;
    std::uint32_t extSize = 0;
    if ((flags & 0x08) && !in.u16(runCount))
        return false;
    if ((flags & 0x04) && !in.u32(extSize))
        return false;
    text.clear();
    text.reserve(cch);
    if (!in.chars(cch, flags & 0x01, text))
        return false;
    if (!in.bytes(std::size_t(runCount) * 4, entry ? &entry->runs : nullptr))
        return false;
    return in.bytes(extSize, entry ? &entry->ext : nullptr);
}

bool parseSst(std::vector<std::span<const std::uint8_t>> parts, std::vector<SstEntry>& out, std::uint32_t& totalRefs,
              std::string& error)
{
    ContinuedReader in(std::move(parts));
    std::uint32_t unique = 0;
    if (!in.u32(totalRefs) || !in.u32(unique)) {
        error = "shared string table too short";
        return false;
    }
    out.clear();
    // Some writers count wrongly: read what is there, but never beyond the data.
    while (out.size() < unique && !in.atEnd()) {
        SstEntry entry;
        if (!readUnicodeString(in, false, entry.text, &entry)) {
            error = "shared string " + std::to_string(out.size()) + " runs past the end of its records";
            return false;
        }
        out.push_back(std::move(entry));
    }
    return true;
}

namespace {

// Writes SST data into records of at most kMaxRecordData bytes.
class SstWriter {
public:
    explicit SstWriter(ByteWriter& w)
        : w_(w)
    {
        open(rt::Sst);
    }

    std::size_t room() const { return kMaxRecordData - (w_.size() - dataStart_); }
    std::size_t recordStart() const { return dataStart_ - 4; }
    void next()
    {
        close();
        open(rt::Continue);
    }
    void close() { putU16(w_.bytes().data() + dataStart_ - 2, static_cast<std::uint16_t>(w_.size() - dataStart_)); }

private:
    void open(std::uint16_t type)
    {
        w_.u16(type);
        w_.u16(0);
        dataStart_ = w_.size();
    }
    ByteWriter& w_;
    std::size_t dataStart_ = 0;
};

bool needsHighByte(std::u16string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char16_t c) { return c > 0xFF; });
}

void putChars(ByteWriter& w, std::u16string_view s, bool high)
{
    for (char16_t c : s) {
        if (high)
            w.u16(c);
        else
            w.u8(static_cast<std::uint8_t>(c));
    }
}

} // namespace

void writeSst(ByteWriter& w, const std::vector<SstEntry>& strings, std::uint32_t totalRefs)
{
    struct Bucket {
        std::uint32_t position;
        std::uint16_t offsetInRecord;
    };
    const std::size_t perBucket = std::max<std::size_t>(8, strings.size() / 128 + 1);
    std::vector<Bucket> buckets;

    SstWriter out(w);
    w.u32(totalRefs);
    w.u32(static_cast<std::uint32_t>(strings.size()));
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const SstEntry& s = strings[i];
        const bool high = needsHighByte(s.text);
        const std::size_t unit = high ? 2 : 1;
        // A formatting-run array larger than a record cannot be split safely; such a
        // string keeps its text and loses only its formatting.
        const bool keepTail = s.runs.size() + s.ext.size() + 16 < kMaxRecordData;
        const bool rich = keepTail && !s.runs.empty();
        const bool ext = keepTail && !s.ext.empty();
        const std::size_t header = 3 + (rich ? 2 : 0) + (ext ? 4 : 0);
        if (out.room() < header + (s.text.empty() ? 0 : unit))
            out.next();
        if (i % perBucket == 0)
            buckets.push_back(
                {static_cast<std::uint32_t>(w.size()), static_cast<std::uint16_t>(w.size() - out.recordStart())});
        w.u16(static_cast<std::uint16_t>(s.text.size()));
        w.u8(static_cast<std::uint8_t>((high ? 0x01 : 0) | (ext ? 0x04 : 0) | (rich ? 0x08 : 0)));
        if (rich)
            w.u16(static_cast<std::uint16_t>(s.runs.size() / 4));
        if (ext)
            w.u32(static_cast<std::uint32_t>(s.ext.size()));
        std::u16string_view rest = s.text;
        while (!rest.empty()) {
            const std::size_t n = std::min(rest.size(), out.room() / unit);
            putChars(w, rest.substr(0, n), high);
            rest.remove_prefix(n);
            if (!rest.empty()) {
                out.next();
                w.u8(high ? 0x01 : 0x00);
            }
        }
        if (rich) {
            for (std::size_t r = 0; r < s.runs.size(); r += 4) {
                if (out.room() < 4)
                    out.next();
                w.raw(std::span(s.runs).subspan(r, 4));
            }
        }
        if (ext) {
            std::span<const std::uint8_t> left = s.ext;
            while (!left.empty()) {
                if (out.room() == 0)
                    out.next();
                const std::size_t n = std::min(left.size(), out.room());
                w.raw(left.subspan(0, n));
                left = left.subspan(n);
            }
        }
    }
    out.close();

    std::vector<std::uint8_t> extsst;
    extsst.resize(2 + buckets.size() * 8);
    putU16(extsst.data(), static_cast<std::uint16_t>(perBucket));
    for (std::size_t b = 0; b < buckets.size(); ++b) {
        putU32(extsst.data() + 2 + b * 8, buckets[b].position);
        putU16(extsst.data() + 6 + b * 8, buckets[b].offsetInRecord);
        putU16(extsst.data() + 8 + b * 8, 0);
    }
    // EXTSST is only a lookup aid; a table too large for one record is left out.
    if (extsst.size() <= kMaxRecordData)
        w.record(rt::ExtSst, extsst);
}

} // namespace qr::xls
