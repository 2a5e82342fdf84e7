// A BIFF8 workbook held in memory. Records that the driver does not interpret are kept
// as they are, so writing the workbook back changes only what was inserted: the shared
// string table, the grown sheets' cell tables and the positions that point into them.
#pragma once

#include "xlsodbc/biff_io.h"
#include "xlsodbc/biff_strings.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace qr::xls {

enum class CellKind : std::uint8_t { Empty, Number, Text, Bool, Error };

struct CellValue {
    CellKind kind = CellKind::Empty;
    bool textInSst = false;
    std::uint32_t text = 0; // index into the SST or into the inline texts
    double number = 0;      // also 0/1 of a logical cell
};

struct SheetRow {
    std::vector<std::uint8_t> rowRecord;                    // ROW payload; empty when the file had none
    std::vector<RawRecord> records;                         // cell records with their STRING/CONTINUE tails
    std::vector<std::pair<std::uint16_t, CellValue>> cells; // decoded values, file order
    bool hasCellRecords() const { return !records.empty(); }
};

struct Sheet {
    std::u16string name;
    bool isWorksheet = false;
    std::size_t boundSheetRecord = 0; // index into Workbook::globals
    std::size_t originalOffset = 0;
    std::vector<std::uint8_t> rawBytes;      // the substream as read
    std::size_t indexOffsetInRaw = SIZE_MAX; // INDEX record header within rawBytes
    bool modified = false;

    // Worksheets only: records around the cell table and the table itself.
    std::vector<RawRecord> prefix;
    std::vector<RawRecord> suffix;
    std::map<std::uint32_t, SheetRow> rows;
};

struct NewCell {
    std::uint16_t column = 0;
    bool isText = true;
    std::u16string text;
    double number = 0;
};

class Workbook {
public:
    // Parses the "Workbook" stream. A damaged or foreign stream fails with `error`.
    bool parse(std::span<const std::uint8_t> stream, std::string& error);
    // Starts a new workbook from its records: the globals from BOF to EOF with one
    // BOUNDSHEET per sheet (the positions are filled in here), and each sheet's
    // records from BOF to EOF with no cells. serialize() writes every worksheet's
    // DIMENSIONS, INDEX and cell table as it does for a grown sheet; the shared
    // strings go before the globals' EOF.
    bool create(const std::vector<RawRecord>& globals, const std::vector<std::vector<RawRecord>>& sheets,
                std::string& error);
    // The whole stream again, with positions recomputed.
    std::vector<std::uint8_t> serialize() const;

    const std::vector<Sheet>& sheets() const { return sheets_; }
    std::u16string_view cellText(const CellValue& v) const
    {
        return v.textInSst ? std::u16string_view(sst_[v.text].text) : std::u16string_view(inlineTexts_[v.text]);
    }
    std::uint16_t codePage() const { return codePage_; }
    bool dirty() const { return dirty_; }
    void markSaved() { dirty_ = false; }

    // Appends one row below everything the sheet holds; returns its row index, or
    // nothing when the sheet is full. `height` is in twentieths of a point.
    std::optional<std::uint32_t> appendRow(std::size_t sheetIndex, const std::vector<NewCell>& cells,
                                           std::uint16_t height = kDefaultRowHeight);
    static constexpr std::uint16_t kDefaultRowHeight = 0x00FF;

private:
    bool parseGlobals(std::span<const std::uint8_t> stream, std::size_t& end, std::string& error);
    bool parseSheet(std::span<const std::uint8_t> stream, Sheet& sheet, std::string& error);
    bool parseCell(const RecordView& rec, Sheet& sheet, std::uint32_t& rowOut, std::string& error);
    std::uint32_t internText(const std::u16string& text);
    void serializeSheet(ByteWriter& w, const Sheet& sheet) const;

    std::vector<RawRecord> globals_;
    std::size_t sstPosition_ = 0; // where the SST goes among the globals
    bool hadSst_ = false;
    std::vector<SstEntry> sst_;
    std::uint32_t sstTotalRefs_ = 0;
    std::unordered_map<std::u16string, std::uint32_t> sstLookup_; // plain entries only
    bool lookupBuilt_ = false;
    std::vector<std::u16string> inlineTexts_;
    std::vector<Sheet> sheets_; // BOUNDSHEET order
    std::uint16_t codePage_ = 1200;
    std::uint16_t newCellXf_ = 0;
    bool dirty_ = false;
};

} // namespace qr::xls
