// Little-endian access to BIFF8 record streams: splitting a stream into records with
// every length checked, and building records back.
#pragma once

#include "runtime/coding.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qr::xls {

namespace rt {
constexpr std::uint16_t Formula = 0x0006, Eof = 0x000A, Continue = 0x003C, CodePage = 0x0042, BoundSheet = 0x0085,
                        MulRk = 0x00BD, MulBlank = 0x00BE, RString = 0x00D6, DbCell = 0x00D7, Xf = 0x00E0, Sst = 0x00FC,
                        LabelSst = 0x00FD, ExtSst = 0x00FF, Dimensions = 0x0200, Blank = 0x0201, Number = 0x0203,
                        Label = 0x0204, BoolErr = 0x0205, String = 0x0207, Row = 0x0208, Index = 0x020B, Array = 0x0221,
                        DefColWidth = 0x0055, Table = 0x0236, Rk = 0x027E, ShrFmla = 0x04BC, Bof = 0x0809,
                        ColInfo = 0x007D;
}

// Largest payload of one BIFF8 record.
constexpr std::size_t kMaxRecordData = 8224;

using runtime::getF64;
using runtime::getU16;
using runtime::getU32;
using runtime::putU16;
using runtime::putU32;

struct RawRecord {
    std::uint16_t type = 0;
    std::vector<std::uint8_t> data;
};

// Record as found in a stream (a view into it).
struct RecordView {
    std::uint16_t type = 0;
    std::size_t offset = 0; // of the 4-byte header within the stream
    std::span<const std::uint8_t> data;
};

// Reads the record starting at `pos`; false when the header or the payload runs past
// the end of the stream.
inline bool recordAt(std::span<const std::uint8_t> stream, std::size_t pos, RecordView& rec)
{
    if (pos > stream.size() || stream.size() - pos < 4)
        return false;
    const std::size_t len = getU16(stream.data() + pos + 2);
    if (stream.size() - pos - 4 < len)
        return false;
    rec.type = getU16(stream.data() + pos);
    rec.offset = pos;
    rec.data = stream.subspan(pos + 4, len);
    return true;
}

// Builds a record stream.
class ByteWriter {
public:
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v) { runtime::appendU16(bytes_, v); }
    void u32(std::uint32_t v) { runtime::appendU32(bytes_, v); }
    void f64(double d) { runtime::appendF64(bytes_, d); }
    void raw(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

    // Appends a whole record; the payload must fit one record.
    void record(std::uint16_t type, std::span<const std::uint8_t> data)
    {
        u16(type);
        u16(static_cast<std::uint16_t>(data.size()));
        raw(data);
    }
    void record(const RawRecord& r) { record(r.type, r.data); }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace qr::xls
