#include "xlsodbc/new_workbook.h"

#include "xlsodbc/biff_io.h"
#include "xlsodbc/compound_file.h"
#include "xlsodbc/workbook.h"

#include <algorithm>
#include <string_view>

namespace qr::xls {
namespace {

// Record types beyond those the reader names.
namespace rec {
constexpr std::uint16_t InterfaceHdr = 0x00E1, Mms = 0x00C1, InterfaceEnd = 0x00E2, Dsf = 0x0161,
                        WindowProtect = 0x0019, Protect = 0x0012, Password = 0x0013, Window1 = 0x003D, Backup = 0x0040,
                        HideObj = 0x008D, DateMode = 0x0022, Precision = 0x000E, BookBool = 0x00DA, Font = 0x0031,
                        Style = 0x0293, Country = 0x008C, CalcMode = 0x000D, CalcCount = 0x000C, RefMode = 0x000F,
                        Iteration = 0x0011, Delta = 0x0010, SaveRecalc = 0x005F, PrintHeaders = 0x002A,
                        PrintGridlines = 0x002B, GridSet = 0x0082, Guts = 0x0080, DefaultRowHeight = 0x0225,
                        WsBool = 0x0081, Window2 = 0x023E;
}

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsBof = 0x0005;
constexpr std::uint16_t kWorksheetBof = 0x0010;
constexpr std::uint16_t kCodePageUtf16 = 1200;
constexpr std::uint16_t kDefaultCellXf = 15; // after the fifteen style formats
constexpr std::uint16_t kRowHeight = 270;    // 13.5 points
constexpr std::size_t kMaxColumns = 256;
constexpr std::size_t kMaxNameLength = 255;

// One record built field by field.
class Record {
public:
    explicit Record(std::uint16_t type) { raw_.type = type; }
    Record& u8(std::uint8_t v)
    {
        raw_.data.push_back(v);
        return *this;
    }
    Record& u16(std::uint16_t v)
    {
        runtime::appendU16(raw_.data, v);
        return *this;
    }
    Record& u32(std::uint32_t v)
    {
        runtime::appendU32(raw_.data, v);
        return *this;
    }
    Record& f64(double v)
    {
        runtime::appendF64(raw_.data, v);
        return *this;
    }
    // A string with an 8-bit length: one byte a character when every character
    // fits one, else UTF-16.
    Record& shortString(std::u16string_view s)
    {
        const bool wide = std::any_of(s.begin(), s.end(), [](char16_t c) { return c > 0xFF; });
        u8(static_cast<std::uint8_t>(s.size())).u8(wide ? 0x01 : 0x00);
        for (char16_t c : s) {
            if (wide)
                u16(static_cast<std::uint16_t>(c));
            else
                u8(static_cast<std::uint8_t>(c));
        }
        return *this;
    }
    void to(std::vector<RawRecord>& out) { out.push_back(std::move(raw_)); }

private:
    RawRecord raw_;
};

void bof(std::vector<RawRecord>& out, std::uint16_t kind)
{
    Record(rt::Bof).u16(kBiff8).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06).to(out);
}

void eof(std::vector<RawRecord>& out) { Record(rt::Eof).to(out); }

void fonts(std::vector<RawRecord>& out)
{
    // Font index 4 does not exist in BIFF: four fonts give indices 0 to 3.
    for (int i = 0; i < 4; ++i) {
        Record(rec::Font)
            .u16(220)    // 11 points, in twentieths
            .u16(0)      // plain
            .u16(0x7FFF) // automatic colour
            .u16(400)    // normal weight
            .u16(0)      // no super- or subscript
            .u8(0)       // no underline
            .u8(0)       // family
            .u8(0x86)    // GB2312 character set
            .u8(0)
            .shortString(u"宋体")
            .to(out);
    }
}

void cellFormats(std::vector<RawRecord>& out)
{
    // Fifteen style formats, then the default cell format (index 15) that every
    // cell of a new workbook and every inserted cell uses.
    for (std::uint16_t i = 0; i <= kDefaultCellXf; ++i) {
        const bool style = i < kDefaultCellXf;
        Record(rt::Xf)
            .u16(0)                       // font 0
            .u16(0)                       // "General"
            .u16(style ? 0xFFF5 : 0x0001) // style: no parent; cell: locked, parent 0
            .u8(0x20)                     // bottom aligned
            .u8(0)
            .u8(0)
            .u8(style ? 0xF4 : 0x00) // a style format's attributes are its own
            .u32(0)                  // no borders
            .u32(0)
            .u16(0x20C0) // automatic pattern colours
            .to(out);
    }
    Record(rec::Style).u16(0x8000).u8(0).u8(0xFF).to(out); // "Normal" on format 0
}

std::vector<RawRecord> globals(const std::vector<NewSheet>& sheets)
{
    std::vector<RawRecord> out;
    bof(out, kGlobalsBof);
    Record(rec::InterfaceHdr).u16(kCodePageUtf16).to(out);
    Record(rec::Mms).u8(0).u8(0).to(out);
    Record(rec::InterfaceEnd).to(out);
    Record(rt::CodePage).u16(kCodePageUtf16).to(out);
    Record(rec::Dsf).u16(0).to(out);
    Record(rec::WindowProtect).u16(0).to(out);
    Record(rec::Protect).u16(0).to(out);
    Record(rec::Password).u16(0).to(out);
    Record(rec::Window1).u16(360).u16(270).u16(14940).u16(9150).u16(0x0038).u16(0).u16(0).u16(1).u16(600).to(out);
    Record(rec::Backup).u16(0).to(out);
    Record(rec::HideObj).u16(0).to(out);
    Record(rec::DateMode).u16(0).to(out);
    Record(rec::Precision).u16(1).to(out);
    Record(rec::BookBool).u16(0).to(out);
    fonts(out);
    cellFormats(out);
    for (const NewSheet& s : sheets)
        Record(rt::BoundSheet).u32(0).u8(0).u8(0).shortString(s.name).to(out); // a visible worksheet
    Record(rec::Country).u16(1).u16(86).to(out);
    eof(out);
    return out;
}

void sheetSettings(std::vector<RawRecord>& out)
{
    Record(rec::CalcMode).u16(1).to(out);
    Record(rec::CalcCount).u16(100).to(out);
    Record(rec::RefMode).u16(1).to(out);
    Record(rec::Iteration).u16(0).to(out);
    Record(rec::Delta).f64(0.001).to(out);
    Record(rec::SaveRecalc).u16(1).to(out);
    Record(rec::PrintHeaders).u16(0).to(out);
    Record(rec::PrintGridlines).u16(0).to(out);
    Record(rec::GridSet).u16(1).to(out);
    Record(rec::Guts).u16(0).u16(0).u16(0).u16(0).to(out);
    Record(rec::DefaultRowHeight).u16(0).u16(kRowHeight).to(out);
    Record(rec::WsBool).u16(0x04C1).to(out);
    Record(rt::DefColWidth).u16(8).to(out);
}

// Cells come later (Workbook::appendRow); DIMENSIONS and INDEX are filled in when
// the workbook is written.
std::vector<RawRecord> sheetRecords(const NewSheet& sheet, bool selected, const NewWorkbookOptions& options)
{
    std::vector<RawRecord> out;
    bof(out, kWorksheetBof);
    if (options.cellIndex)
        Record(rt::Index).u32(0).u32(0).u32(0).u32(0).to(out);
    sheetSettings(out);
    for (const auto& [column, width] : sheet.widths)
        Record(rt::ColInfo).u16(column).u16(column).u16(width).u16(kDefaultCellXf).u16(0x0002).u16(0).to(out);
    Record(rt::Dimensions).u32(0).u32(0).u16(0).u16(0).u16(0).to(out);
    // Grid lines, headers, zeros, default header colour, outline symbols; the first
    // sheet is the selected and shown one.
    Record(rec::Window2).u16(selected ? 0x06B6 : 0x00B6).u16(0).u16(0).u32(64).u16(0).u16(0).u32(0).to(out);
    eof(out);
    return out;
}

} // namespace

bool buildNewWorkbookStream(const std::vector<NewSheet>& sheets, const NewWorkbookOptions& options,
                            std::vector<std::uint8_t>& stream, std::string& error)
{
    std::vector<std::vector<RawRecord>> sheetParts;
    for (std::size_t k = 0; k < sheets.size(); ++k) {
        if (sheets[k].name.size() > kMaxNameLength || sheets[k].headings.size() > kMaxColumns) {
            error = "sheet " + std::to_string(k + 1) + " has too long a name or too many headings";
            return false;
        }
        sheetParts.push_back(sheetRecords(sheets[k], k == 0, options));
    }
    Workbook book;
    if (!book.create(globals(sheets), sheetParts, error))
        return false;
    for (std::size_t k = 0; k < sheets.size(); ++k) {
        std::vector<NewCell> row;
        for (std::size_t c = 0; c < sheets[k].headings.size(); ++c)
            row.push_back(NewCell{static_cast<std::uint16_t>(c), true, sheets[k].headings[c], 0});
        if (!row.empty())
            book.appendRow(k, row, kRowHeight);
    }
    stream = book.serialize();
    return true;
}

bool wrapWorkbookStream(const std::vector<std::uint8_t>& stream,
                        const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& otherStreams,
                        std::vector<std::uint8_t>& file, std::string& error)
{
    CompoundNode root;
    root.isStorage = true;
    root.children.push_back(CompoundNode{"Workbook", false, stream, {}, false, {}});
    for (const auto& [name, bytes] : otherStreams)
        root.children.push_back(CompoundNode{name, false, bytes, {}, false, {}});
    return writeCompoundFile(root, file, error);
}

} // namespace qr::xls
