#include "xlsodbc/workbook.h"

#include "runtime/gbk.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace qr::xls {
namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBofGlobals = 0x0005;
constexpr std::uint16_t kBofWorksheet = 0x0010;
constexpr std::uint16_t kWindow2 = 0x023E;
constexpr std::uint32_t kMaxRows = 65536;
constexpr std::uint16_t kMaxColumns = 256;

bool isCellRecord(std::uint16_t t)
{
    switch (t) {
    case rt::Blank:
    case rt::Number:
    case rt::Label:
    case rt::BoolErr:
    case rt::Formula:
    case rt::Rk:
    case rt::MulRk:
    case rt::MulBlank:
    case rt::LabelSst:
    case rt::RString: return true;
    default: return false;
    }
}

// Records that belong to the cell record before them.
bool isCellTail(std::uint16_t t)
{
    return t == rt::String || t == rt::ShrFmla || t == rt::Array || t == rt::Table || t == rt::Continue;
}

double decodeRk(std::uint32_t rk)
{
    double v;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

RawRecord toRaw(const RecordView& v)
{
    return RawRecord{v.type, std::vector<std::uint8_t>(v.data.begin(), v.data.end())};
}

std::string sheetLabel(const Sheet& s) { return "sheet '" + runtime::utf16ToGbk(s.name) + "'"; }

} // namespace

bool Workbook::parse(std::span<const std::uint8_t> stream, std::string& error)
{
    *this = Workbook{};
    std::size_t globalsEnd = 0;
    if (!parseGlobals(stream, globalsEnd, error))
        return false;
    std::vector<std::size_t> order(sheets_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return sheets_[a].originalOffset < sheets_[b].originalOffset; });
    std::size_t free = globalsEnd;
    for (std::size_t k : order) {
        Sheet& s = sheets_[k];
        if (s.originalOffset < free || s.originalOffset >= stream.size()) {
            error = sheetLabel(s) + " points outside the workbook stream";
            return false;
        }
        if (!parseSheet(stream, s, error))
            return false;
        free = s.originalOffset + s.rawBytes.size();
    }
    return true;
}

bool Workbook::create(const std::vector<RawRecord>& globals, const std::vector<std::vector<RawRecord>>& sheets,
                      std::string& error)
{
    ByteWriter w;
    std::vector<std::size_t> positionFields;
    for (const RawRecord& r : globals) {
        if (r.type == rt::BoundSheet)
            positionFields.push_back(w.size() + 4);
        w.record(r);
    }
    if (positionFields.size() != sheets.size()) {
        error = "the globals name " + std::to_string(positionFields.size()) + " sheets, not " +
                std::to_string(sheets.size());
        return false;
    }
    for (std::size_t k = 0; k < sheets.size(); ++k) {
        putU32(w.bytes().data() + positionFields[k], static_cast<std::uint32_t>(w.size()));
        for (const RawRecord& r : sheets[k])
            w.record(r);
    }
    if (!parse(w.bytes(), error))
        return false;
    for (Sheet& s : sheets_)
        s.modified = s.isWorksheet;
    dirty_ = true;
    return true;
}

bool Workbook::parseGlobals(std::span<const std::uint8_t> stream, std::size_t& end, std::string& error)
{
    RecordView rec;
    if (!recordAt(stream, 0, rec) || rec.type != rt::Bof || rec.data.size() < 4) {
        error = "the workbook stream does not start with a BOF record";
        return false;
    }
    if (getU16(rec.data.data()) != kBiff8) {
        error = "the workbook is not in the Excel 97-2003 (BIFF8) format";
        return false;
    }
    if (getU16(rec.data.data() + 2) != kBofGlobals) {
        error = "the workbook stream does not start with the workbook globals";
        return false;
    }
    globals_.push_back(toRaw(rec));
    std::size_t pos = rec.data.size() + 4;
    int xfCount = 0;
    std::optional<std::uint16_t> cellXf;
    while (true) {
        if (!recordAt(stream, pos, rec)) {
            error = "the workbook globals are cut short or hold a bad record length";
            return false;
        }
        pos += 4 + rec.data.size();
        switch (rec.type) {
        case rt::Sst: {
            if (hadSst_) {
                error = "the workbook holds two shared string tables";
                return false;
            }
            std::vector<std::span<const std::uint8_t>> parts{rec.data};
            RecordView next;
            while (recordAt(stream, pos, next) && next.type == rt::Continue) {
                parts.push_back(next.data);
                pos += 4 + next.data.size();
            }
            if (!parseSst(std::move(parts), sst_, sstTotalRefs_, error))
                return false;
            hadSst_ = true;
            sstPosition_ = globals_.size();
            continue;
        }
        case rt::ExtSst: continue; // rebuilt with the SST
        case rt::BoundSheet: {
            if (rec.data.size() < 8) {
                error = "a BOUNDSHEET record is too short";
                return false;
            }
            Sheet s;
            s.originalOffset = getU32(rec.data.data());
            s.isWorksheet = rec.data[5] == 0;
            ContinuedReader name({rec.data.subspan(6)});
            if (!readUnicodeString(name, true, s.name)) {
                error = "a sheet name runs past its record";
                return false;
            }
            s.boundSheetRecord = globals_.size();
            sheets_.push_back(std::move(s));
            break;
        }
        case rt::CodePage:
            if (rec.data.size() >= 2)
                codePage_ = getU16(rec.data.data());
            break;
        case rt::Xf:
            // New cells take the first cell format (not a style format): 15 in
            // workbooks Excel made, 16 in others.
            if (!cellXf && rec.data.size() >= 6 && !(getU16(rec.data.data() + 4) & 0x0004))
                cellXf = static_cast<std::uint16_t>(xfCount);
            ++xfCount;
            break;
        default: break;
        }
        globals_.push_back(toRaw(rec));
        if (rec.type == rt::Eof)
            break;
    }
    end = pos;
    if (!hadSst_)
        sstPosition_ = globals_.size() - 1; // just before the globals' EOF
    newCellXf_ = cellXf.value_or(0);
    return true;
}

bool Workbook::parseSheet(std::span<const std::uint8_t> stream, Sheet& s, std::string& error)
{
    std::vector<RecordView> recs;
    RecordView rec;
    std::size_t pos = s.originalOffset;
    if (!recordAt(stream, pos, rec) || rec.type != rt::Bof || rec.data.size() < 4) {
        error = sheetLabel(s) + " does not start with a BOF record";
        return false;
    }
    if (getU16(rec.data.data()) != kBiff8) {
        error = sheetLabel(s) + " is not in the BIFF8 format";
        return false;
    }
    s.isWorksheet = s.isWorksheet && getU16(rec.data.data() + 2) == kBofWorksheet;
    int depth = 0;
    do {
        if (!recordAt(stream, pos, rec)) {
            error = sheetLabel(s) + " is cut short or holds a bad record length";
            return false;
        }
        pos += 4 + rec.data.size();
        if (rec.type == rt::Bof)
            ++depth;
        else if (rec.type == rt::Eof)
            --depth;
        recs.push_back(rec);
    } while (depth > 0);
    s.rawBytes.assign(stream.begin() + s.originalOffset, stream.begin() + pos);
    if (!s.isWorksheet)
        return true;

    bool inTable = false;
    int nested = 0;
    std::optional<std::uint32_t> tailRow;                               // row of the last cell record
    std::optional<std::pair<std::uint32_t, std::size_t>> pendingString; // formula awaiting its STRING
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const RecordView& r = recs[i];
        std::vector<RawRecord>& outside = inTable ? s.suffix : s.prefix;
        if (nested > 0 || (r.type == rt::Bof && i > 0)) { // an embedded chart: kept whole
            if (r.type == rt::Bof)
                ++nested;
            else if (r.type == rt::Eof)
                --nested;
            outside.push_back(toRaw(r));
            tailRow.reset();
            continue;
        }
        if (r.type == rt::Row) {
            inTable = true;
            if (r.data.size() < 16) {
                error = sheetLabel(s) + " holds a ROW record that is too short";
                return false;
            }
            s.rows[getU16(r.data.data())].rowRecord.assign(r.data.begin(), r.data.end());
            tailRow.reset();
        } else if (r.type == rt::DbCell) {
            inTable = true; // rebuilt on write
            tailRow.reset();
        } else if (isCellRecord(r.type)) {
            inTable = true;
            std::uint32_t row = 0;
            if (!parseCell(r, s, row, error))
                return false;
            SheetRow& sr = s.rows[row];
            sr.records.push_back(toRaw(r));
            tailRow = row;
            pendingString.reset();
            if (r.type == rt::Formula && sr.cells.back().second.kind == CellKind::Text &&
                sr.cells.back().second.text == UINT32_MAX)
                pendingString = std::make_pair(row, sr.cells.size() - 1);
        } else if (tailRow && isCellTail(r.type)) {
            s.rows[*tailRow].records.push_back(toRaw(r));
            if (r.type == rt::String && pendingString) {
                std::vector<std::span<const std::uint8_t>> parts{r.data};
                for (std::size_t j = i + 1; j < recs.size() && recs[j].type == rt::Continue; ++j)
                    parts.push_back(recs[j].data);
                ContinuedReader in(std::move(parts));
                std::u16string text;
                if (!readUnicodeString(in, false, text)) {
                    error = sheetLabel(s) + " holds a formula result string that runs past its record";
                    return false;
                }
                CellValue& v = s.rows[pendingString->first].cells[pendingString->second].second;
                v.text = static_cast<std::uint32_t>(inlineTexts_.size());
                inlineTexts_.push_back(std::move(text));
                pendingString.reset();
            }
        } else {
            if (r.type == rt::Index && !inTable)
                s.indexOffsetInRaw = r.offset - s.originalOffset;
            outside.push_back(toRaw(r));
            tailRow.reset();
        }
    }
    // A formula whose string result never came reads as empty.
    for (auto& [row, sr] : s.rows)
        for (auto& [col, v] : sr.cells)
            if (v.kind == CellKind::Text && v.text == UINT32_MAX)
                v.kind = CellKind::Empty;
    if (!inTable) {
        // No cell table yet: new rows go right after DIMENSIONS (or before WINDOW2, or
        // before the EOF).
        std::size_t split = s.prefix.size() - 1;
        for (std::size_t i = 0; i < s.prefix.size(); ++i) {
            if (s.prefix[i].type == rt::Dimensions) {
                split = i + 1;
                break;
            }
            if (s.prefix[i].type == kWindow2) {
                split = i;
                break;
            }
        }
        s.suffix.assign(s.prefix.begin() + static_cast<std::ptrdiff_t>(split), s.prefix.end());
        s.prefix.resize(split);
    }
    return true;
}

bool Workbook::parseCell(const RecordView& rec, Sheet& s, std::uint32_t& rowOut, std::string& error)
{
    const std::uint8_t* d = rec.data.data();
    const std::size_t n = rec.data.size();
    auto tooShort = [&] {
        error = sheetLabel(s) + " holds a cell record with a bad length";
        return false;
    };
    if (n < 6)
        return tooShort();
    const std::uint32_t row = getU16(d);
    const std::uint16_t col = getU16(d + 2);
    rowOut = row;
    auto& cells = s.rows[row].cells;
    auto add = [&](std::uint16_t c, CellValue v) -> bool {
        if (c >= kMaxColumns) {
            error = sheetLabel(s) + " holds a cell beyond the last column";
            return false;
        }
        cells.emplace_back(c, v);
        return true;
    };
    CellValue v;
    switch (rec.type) {
    case rt::Blank: return add(col, v);
    case rt::Number:
        if (n < 14)
            return tooShort();
        v.kind = CellKind::Number;
        v.number = getF64(d + 6);
        return add(col, v);
    case rt::Rk:
        if (n < 10)
            return tooShort();
        v.kind = CellKind::Number;
        v.number = decodeRk(getU32(d + 6));
        return add(col, v);
    case rt::MulRk: {
        if (n < 12 || (n - 6) % 6 != 0)
            return tooShort();
        const std::size_t count = (n - 6) / 6;
        for (std::size_t i = 0; i < count; ++i) {
            v.kind = CellKind::Number;
            v.number = decodeRk(getU32(d + 4 + i * 6 + 2));
            if (!add(static_cast<std::uint16_t>(col + i), v))
                return false;
        }
        return true;
    }
    case rt::MulBlank: {
        if (n < 8 || (n - 6) % 2 != 0)
            return tooShort();
        const std::size_t count = (n - 6) / 2;
        for (std::size_t i = 0; i < count; ++i)
            if (!add(static_cast<std::uint16_t>(col + i), v))
                return false;
        return true;
    }
    case rt::LabelSst: {
        if (n < 10)
            return tooShort();
        const std::uint32_t index = getU32(d + 6);
        if (index >= sst_.size()) {
            error = sheetLabel(s) + " refers to a shared string that does not exist";
            return false;
        }
        v.kind = CellKind::Text;
        v.textInSst = true;
        v.text = index;
        return add(col, v);
    }
    case rt::Label:
    case rt::RString: {
        ContinuedReader in({rec.data.subspan(6)});
        std::u16string text;
        if (!readUnicodeString(in, false, text))
            return tooShort();
        v.kind = CellKind::Text;
        v.text = static_cast<std::uint32_t>(inlineTexts_.size());
        inlineTexts_.push_back(std::move(text));
        return add(col, v);
    }
    case rt::BoolErr:
        if (n < 8)
            return tooShort();
        v.kind = d[7] ? CellKind::Error : CellKind::Bool;
        v.number = d[6] ? 1 : 0;
        return add(col, v);
    case rt::Formula:
        if (n < 20)
            return tooShort();
        if (getU16(d + 12) == 0xFFFF) {
            switch (d[6]) {
            case 0: // the text follows in a STRING record
                v.kind = CellKind::Text;
                v.text = UINT32_MAX;
                break;
            case 1:
                v.kind = CellKind::Bool;
                v.number = d[8] ? 1 : 0;
                break;
            case 2: v.kind = CellKind::Error; break;
            default: // 3: an empty text
                v.kind = CellKind::Text;
                v.text = static_cast<std::uint32_t>(inlineTexts_.size());
                inlineTexts_.emplace_back();
                break;
            }
        } else {
            v.kind = CellKind::Number;
            v.number = getF64(d + 6);
        }
        return add(col, v);
    default: return true;
    }
}

std::uint32_t Workbook::internText(const std::u16string& text)
{
    if (!lookupBuilt_) {
        for (std::size_t i = 0; i < sst_.size(); ++i)
            if (sst_[i].runs.empty() && sst_[i].ext.empty())
                sstLookup_.emplace(sst_[i].text, static_cast<std::uint32_t>(i));
        lookupBuilt_ = true;
    }
    auto [it, inserted] = sstLookup_.emplace(text, static_cast<std::uint32_t>(sst_.size()));
    if (inserted)
        sst_.push_back(SstEntry{text, {}, {}});
    return it->second;
}

std::optional<std::uint32_t> Workbook::appendRow(std::size_t sheetIndex, const std::vector<NewCell>& cellsIn,
                                                 std::uint16_t height)
{
    Sheet& s = sheets_.at(sheetIndex);
    const std::uint32_t rowIndex = s.rows.empty() ? 0 : s.rows.rbegin()->first + 1;
    if (rowIndex >= kMaxRows)
        return std::nullopt;
    if (cellsIn.empty())
        return rowIndex;
    std::vector<NewCell> cells = cellsIn;
    std::stable_sort(cells.begin(), cells.end(),
                     [](const NewCell& a, const NewCell& b) { return a.column < b.column; });
    SheetRow& row = s.rows[rowIndex];
    for (const NewCell& c : cells) {
        RawRecord rec;
        rec.data.resize(6);
        putU16(rec.data.data(), static_cast<std::uint16_t>(rowIndex));
        putU16(rec.data.data() + 2, c.column);
        putU16(rec.data.data() + 4, newCellXf_);
        CellValue v;
        if (c.isText) {
            const std::uint32_t index = internText(c.text);
            ++sstTotalRefs_;
            rec.type = rt::LabelSst;
            rec.data.resize(10);
            putU32(rec.data.data() + 6, index);
            v.kind = CellKind::Text;
            v.textInSst = true;
            v.text = index;
        } else {
            rec.type = rt::Number;
            ByteWriter num;
            num.f64(c.number);
            rec.data.insert(rec.data.end(), num.bytes().begin(), num.bytes().end());
            v.kind = CellKind::Number;
            v.number = c.number;
        }
        row.records.push_back(std::move(rec));
        row.cells.emplace_back(c.column, v);
    }
    row.rowRecord.assign(16, 0);
    putU16(row.rowRecord.data(), static_cast<std::uint16_t>(rowIndex));
    putU16(row.rowRecord.data() + 2, cells.front().column);
    putU16(row.rowRecord.data() + 4, static_cast<std::uint16_t>(cells.back().column + 1));
    putU16(row.rowRecord.data() + 6, height);
    putU16(row.rowRecord.data() + 12, 0x0100); // flags: the bit that must be set
    putU16(row.rowRecord.data() + 14, 0x000F); // default row format
    s.modified = true;
    dirty_ = true;
    return rowIndex;
}

std::vector<std::uint8_t> Workbook::serialize() const
{
    ByteWriter w;
    std::vector<std::size_t> sheetOfRecord(globals_.size(), SIZE_MAX);
    for (std::size_t k = 0; k < sheets_.size(); ++k)
        sheetOfRecord[sheets_[k].boundSheetRecord] = k;
    std::vector<std::size_t> boundSheetPos(sheets_.size(), 0);
    for (std::size_t i = 0; i < globals_.size(); ++i) {
        if (i == sstPosition_ && (hadSst_ || !sst_.empty()))
            writeSst(w, sst_, sstTotalRefs_);
        if (sheetOfRecord[i] != SIZE_MAX)
            boundSheetPos[sheetOfRecord[i]] = w.size() + 4;
        w.record(globals_[i]);
    }
    std::vector<std::size_t> order(sheets_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return sheets_[a].originalOffset < sheets_[b].originalOffset; });
    for (std::size_t k : order) {
        const Sheet& s = sheets_[k];
        const std::size_t start = w.size();
        putU32(w.bytes().data() + boundSheetPos[k], static_cast<std::uint32_t>(start));
        if (s.modified) {
            serializeSheet(w, s);
            continue;
        }
        w.raw(s.rawBytes);
        if (s.indexOffsetInRaw == SIZE_MAX)
            continue;
        // The sheet moved: its INDEX holds absolute positions of its own records.
        const std::uint32_t delta = static_cast<std::uint32_t>(start - s.originalOffset);
        std::uint8_t* index = w.bytes().data() + start + s.indexOffsetInRaw;
        const std::size_t len = getU16(index + 2);
        std::uint8_t* data = index + 4;
        if (len >= 16 && getU32(data + 12) != 0)
            putU32(data + 12, getU32(data + 12) + delta);
        for (std::size_t off = 16; off + 4 <= len; off += 4)
            putU32(data + off, getU32(data + off) + delta);
    }
    return std::move(w.bytes());
}

void Workbook::serializeSheet(ByteWriter& w, const Sheet& s) const
{
    // Extent of the cell table, for DIMENSIONS and INDEX.
    std::uint32_t rowMin = UINT32_MAX, rowMax = 0, usedMin = UINT32_MAX, usedMax = 0;
    std::uint16_t colMin = UINT16_MAX, colMax = 0;
    std::size_t blockCount = 0;
    std::uint32_t lastBlock = UINT32_MAX;
    for (const auto& [r, row] : s.rows) {
        if (row.records.empty() && row.rowRecord.empty())
            continue;
        usedMin = std::min(usedMin, r);
        usedMax = std::max(usedMax, r);
        if (r / 32 != lastBlock) {
            ++blockCount;
            lastBlock = r / 32;
        }
        for (const auto& [c, v] : row.cells) {
            rowMin = std::min(rowMin, r);
            rowMax = std::max(rowMax, r);
            colMin = std::min(colMin, c);
            colMax = std::max(colMax, c);
        }
    }
    const bool hasIndex =
        std::any_of(s.prefix.begin(), s.prefix.end(), [](const RawRecord& r) { return r.type == rt::Index; });

    std::size_t indexPos = SIZE_MAX, defColWidthPos = 0;
    for (const RawRecord& rec : s.prefix) {
        if (rec.type == rt::Index) {
            indexPos = w.size();
            w.record(rt::Index, std::vector<std::uint8_t>(16 + 4 * blockCount, 0));
        } else if (rec.type == rt::Dimensions) {
            std::vector<std::uint8_t> dims(14, 0);
            if (rowMin != UINT32_MAX) {
                putU32(dims.data(), rowMin);
                putU32(dims.data() + 4, rowMax + 1);
                putU16(dims.data() + 8, colMin);
                putU16(dims.data() + 10, static_cast<std::uint16_t>(colMax + 1));
            }
            w.record(rt::Dimensions, dims);
        } else {
            if (rec.type == rt::DefColWidth)
                defColWidthPos = w.size();
            w.record(rec);
        }
    }

    std::vector<std::uint32_t> dbCells;
    auto it = s.rows.begin();
    while (it != s.rows.end()) {
        const std::uint32_t block = it->first / 32;
        auto end = it;
        while (end != s.rows.end() && end->first / 32 == block)
            ++end;
        std::size_t firstRowPos = SIZE_MAX, firstRowEnd = 0;
        for (auto r = it; r != end; ++r) {
            if (r->second.rowRecord.empty())
                continue;
            if (firstRowPos == SIZE_MAX) {
                firstRowPos = w.size();
                firstRowEnd = firstRowPos + 4 + r->second.rowRecord.size();
            }
            w.record(rt::Row, r->second.rowRecord);
        }
        std::vector<std::size_t> cellStarts;
        for (auto r = it; r != end; ++r) {
            if (r->second.records.empty())
                continue;
            cellStarts.push_back(w.size());
            for (const RawRecord& rec : r->second.records)
                w.record(rec);
        }
        if (hasIndex && (firstRowPos != SIZE_MAX || !cellStarts.empty())) {
            const std::size_t pos = w.size();
            ByteWriter db;
            db.u32(firstRowPos == SIZE_MAX ? 0 : static_cast<std::uint32_t>(pos - firstRowPos));
            std::size_t prev = firstRowPos == SIZE_MAX ? (cellStarts.empty() ? pos : cellStarts.front()) : firstRowEnd;
            for (std::size_t start : cellStarts) {
                db.u16(static_cast<std::uint16_t>(std::min<std::size_t>(start - prev, 0xFFFF)));
                prev = start;
            }
            dbCells.push_back(static_cast<std::uint32_t>(pos));
            w.record(rt::DbCell, db.bytes());
        }
        it = end;
    }
    for (const RawRecord& rec : s.suffix)
        w.record(rec);

    if (indexPos != SIZE_MAX) {
        std::uint8_t* data = w.bytes().data() + indexPos + 4;
        if (usedMin != UINT32_MAX) {
            putU32(data + 4, usedMin);
            putU32(data + 8, usedMax + 1);
        }
        putU32(data + 12, static_cast<std::uint32_t>(defColWidthPos));
        for (std::size_t b = 0; b < dbCells.size() && b < blockCount; ++b)
            putU32(data + 16 + 4 * b, dbCells[b]);
    }
}

} // namespace qr::xls
