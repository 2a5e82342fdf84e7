// BIFF8 Unicode strings: decoding (compressed or UTF-16 characters, rich-text runs and
// phonetic blocks, strings continued across CONTINUE records) and writing the shared
// string table with its CONTINUE records and a fresh EXTSST.
#pragma once

#include "xlsodbc/biff_io.h"

#include <span>
#include <string>
#include <vector>

namespace qr::xls {

// One shared string; formatting runs and the phonetic block are kept as bytes so
// that a rewrite gives them back unchanged.
struct SstEntry {
    std::u16string text;
    std::vector<std::uint8_t> runs; // 4 bytes per run
    std::vector<std::uint8_t> ext;  // phonetic block
};

// Reads across a record and its CONTINUE records.
class ContinuedReader {
public:
    explicit ContinuedReader(std::vector<std::span<const std::uint8_t>> parts)
        : parts_(std::move(parts))
    {}

    bool atEnd();
    bool u8(std::uint8_t& v);
    bool u16(std::uint16_t& v);
    bool u32(std::uint32_t& v);
    bool bytes(std::size_t n, std::vector<std::uint8_t>* out); // out may be null: skip
    // Reads `count` characters; a new CONTINUE inside the characters starts with its
    // own flag byte that says whether the rest is compressed.
    bool chars(std::size_t count, bool highByte, std::u16string& out);

private:
    bool skipEmptyParts();
    std::vector<std::span<const std::uint8_t>> parts_;
    std::size_t part_ = 0;
    std::size_t pos_ = 0;
};

// Reads an XLUnicodeRichExtendedString (16-bit length) or, with `shortLength`, a
// string with an 8-bit length. Runs and phonetic data go to `entry` when given.
bool readUnicodeString(ContinuedReader& in, bool shortLength, std::u16string& text, SstEntry* entry = nullptr);

// Parses the SST payload and its CONTINUE payloads.
bool parseSst(std::vector<std::span<const std::uint8_t>> parts, std::vector<SstEntry>& out, std::uint32_t& totalRefs,
              std::string& error);

// Appends SST (+ CONTINUE) and EXTSST records to `w`; positions in EXTSST are `w`'s
// offsets, so `w` must hold the workbook stream from its start.
void writeSst(ByteWriter& w, const std::vector<SstEntry>& strings, std::uint32_t totalRefs);

} // namespace qr::xls
