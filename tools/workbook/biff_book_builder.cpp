#include "tools/workbook/biff_book_builder.h"

#include "roster/columns.h"
#include "runtime/gbk.h"
#include "xlsodbc/biff_io.h"
#include "xlsodbc/compound_file.h"
#include "xlsodbc/workbook.h"

#include <array>
#include <string_view>

namespace qr::workbook {

namespace {

using xls::ByteWriter;

// Record types beyond those the driver names.
namespace rec {
constexpr std::uint16_t InterfaceHdr = 0x00E1, Mms = 0x00C1, InterfaceEnd = 0x00E2, Dsf = 0x0161,
    WindowProtect = 0x0019, Protect = 0x0012, Password = 0x0013, Window1 = 0x003D, Backup = 0x0040,
    HideObj = 0x008D, DateMode = 0x0022, Precision = 0x000E, BookBool = 0x00DA, Font = 0x0031,
    Style = 0x0293, Country = 0x008C, CalcMode = 0x000D, CalcCount = 0x000C, RefMode = 0x000F,
    Iteration = 0x0011, Delta = 0x0010, SaveRecalc = 0x005F, PrintHeaders = 0x002A,
    PrintGridlines = 0x002B, GridSet = 0x0082, Guts = 0x0080, DefaultRowHeight = 0x0225, WsBool = 0x0081,
    Window2 = 0x023E;
}

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsBof = 0x0005;
constexpr std::uint16_t kWorksheetBof = 0x0010;
constexpr std::uint16_t kCodePageUtf16 = 1200;
constexpr std::uint16_t kDefaultCellXf = 15; // after the fifteen style formats
constexpr std::size_t kSheetCount = 3;

// One record built field by field.
class Record {
public:
    explicit Record(std::uint16_t type) : type_(type) {}
    Record& u8(std::uint8_t v) { w_.u8(v); return *this; }
    Record& u16(std::uint16_t v) { w_.u16(v); return *this; }
    Record& u32(std::uint32_t v) { w_.u32(v); return *this; }
    Record& f64(double v) { w_.f64(v); return *this; }
    // A string with an 8-bit length (sheet and font names), stored as UTF-16.
    Record& shortString(std::u16string_view s)
    {
        w_.u8(static_cast<std::uint8_t>(s.size()));
        w_.u8(0x01);
        for (char16_t c : s) w_.u16(static_cast<std::uint16_t>(c));
        return *this;
    }
    void writeTo(ByteWriter& out) { out.record(type_, w_.bytes()); }

private:
    std::uint16_t type_;
    ByteWriter w_;
};

void bof(ByteWriter& out, std::uint16_t kind)
{
    Record(xls::rt::Bof).u16(kBiff8).u16(kind).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06).writeTo(out);
}

void eof(ByteWriter& out) { Record(xls::rt::Eof).writeTo(out); }

std::u16string utf16(std::string_view gbk) { return runtime::gbkToUtf16(gbk); }

void fonts(ByteWriter& out)
{
    // Font index 4 does not exist in BIFF: four fonts give indices 0 to 3.
    for (int i = 0; i < 4; ++i) {
        Record(rec::Font)
            .u16(220)     // 11 points, in twentieths
            .u16(0)       // plain
            .u16(0x7FFF)  // automatic colour
            .u16(400)     // normal weight
            .u16(0)       // no super- or subscript
            .u8(0)        // no underline
            .u8(0)        // family
            .u8(0x86)     // GB2312 character set
            .u8(0)
            .shortString(utf16("宋体"))
            .writeTo(out);
    }
}

void cellFormats(ByteWriter& out)
{
    // Fifteen style formats, then the default cell format (index 15) that every
    // cell of the template and every inserted cell uses.
    for (std::uint16_t i = 0; i <= kDefaultCellXf; ++i) {
        const bool style = i < kDefaultCellXf;
        Record(xls::rt::Xf)
            .u16(0)                                   // font 0
            .u16(0)                                   // "General"
            .u16(style ? 0xFFF5 : 0x0001)             // style: no parent; cell: locked, parent 0
            .u8(0x20)                                 // bottom aligned
            .u8(0)
            .u8(0)
            .u8(style ? 0xF4 : 0x00)                  // a style format's attributes are its own
            .u32(0)                                   // no borders
            .u32(0)
            .u16(0x20C0)                              // automatic pattern colours
            .writeTo(out);
    }
    Record(rec::Style).u16(0x8000).u8(0).u8(0xFF).writeTo(out); // "Normal" on format 0
}

void sharedStrings(ByteWriter& out)
{
    // Nineteen short headings fit one record; EXTSST points at every eighth string.
    ByteWriter body;
    body.u32(static_cast<std::uint32_t>(roster::kColumnCount));
    body.u32(static_cast<std::uint32_t>(roster::kColumnCount));
    std::vector<std::pair<std::size_t, std::size_t>> buckets; // (offset in stream, offset in record)
    const std::size_t recordStart = out.size();
    for (std::size_t k = 0; k < roster::kColumnCount; ++k) {
        const std::u16string text = utf16(roster::kHeadings[k]);
        if (k % 8 == 0) buckets.emplace_back(recordStart + 4 + body.size(), 4 + body.size());
        body.u16(static_cast<std::uint16_t>(text.size()));
        body.u8(0x01);
        for (char16_t c : text) body.u16(static_cast<std::uint16_t>(c));
    }
    out.record(xls::rt::Sst, body.bytes());
    Record ext(xls::rt::ExtSst);
    ext.u16(8);
    for (const auto& [streamOffset, recordOffset] : buckets)
        ext.u32(static_cast<std::uint32_t>(streamOffset)).u16(static_cast<std::uint16_t>(recordOffset)).u16(0);
    ext.writeTo(out);
}

void sheetSettings(ByteWriter& out)
{
    Record(rec::CalcMode).u16(1).writeTo(out);
    Record(rec::CalcCount).u16(100).writeTo(out);
    Record(rec::RefMode).u16(1).writeTo(out);
    Record(rec::Iteration).u16(0).writeTo(out);
    Record(rec::Delta).f64(0.001).writeTo(out);
    Record(rec::SaveRecalc).u16(1).writeTo(out);
    Record(rec::PrintHeaders).u16(0).writeTo(out);
    Record(rec::PrintGridlines).u16(0).writeTo(out);
    Record(rec::GridSet).u16(1).writeTo(out);
    Record(rec::Guts).u16(0).u16(0).u16(0).u16(0).writeTo(out);
    Record(rec::DefaultRowHeight).u16(0).u16(270).writeTo(out);
    Record(rec::WsBool).u16(0x04C1).writeTo(out);
    Record(xls::rt::DefColWidth).u16(8).writeTo(out);
}

void window2(ByteWriter& out, bool selected)
{
    // Grid lines, headers, zeros, default header colour, outline symbols; the first
    // sheet is the selected and shown one.
    Record(rec::Window2)
        .u16(selected ? 0x06B6 : 0x00B6)
        .u16(0)
        .u16(0)
        .u32(64)
        .u16(0)
        .u16(0)
        .u32(0)
        .writeTo(out);
}

void rosterSheet(ByteWriter& out)
{
    bof(out, kWorksheetBof);
    sheetSettings(out);
    const auto& widths = roster::kSheetColumnWidths;
    for (std::uint16_t c = 0; c < widths.size(); ++c)
        Record(xls::rt::ColInfo).u16(c).u16(c).u16(widths[c]).u16(kDefaultCellXf).u16(0x0002).u16(0).writeTo(out);
    const auto columns = static_cast<std::uint16_t>(roster::kColumnCount);
    Record(xls::rt::Dimensions).u32(0).u32(1).u16(0).u16(columns).u16(0).writeTo(out);
    Record(xls::rt::Row).u16(0).u16(0).u16(columns).u16(270).u16(0).u16(0).u16(0x0100).u16(kDefaultCellXf).writeTo(out);
    for (std::uint16_t c = 0; c < columns; ++c)
        Record(xls::rt::LabelSst).u16(0).u16(c).u16(kDefaultCellXf).u32(c).writeTo(out);
    window2(out, true);
    eof(out);
}

void emptySheet(ByteWriter& out)
{
    bof(out, kWorksheetBof);
    sheetSettings(out);
    Record(xls::rt::Dimensions).u32(0).u32(0).u16(0).u16(0).u16(0).writeTo(out);
    window2(out, false);
    eof(out);
}

} // namespace

std::vector<std::uint8_t> buildRosterWorkbookStream()
{
    ByteWriter out;
    bof(out, kGlobalsBof);
    Record(rec::InterfaceHdr).u16(kCodePageUtf16).writeTo(out);
    Record(rec::Mms).u8(0).u8(0).writeTo(out);
    Record(rec::InterfaceEnd).writeTo(out);
    Record(xls::rt::CodePage).u16(kCodePageUtf16).writeTo(out);
    Record(rec::Dsf).u16(0).writeTo(out);
    Record(rec::WindowProtect).u16(0).writeTo(out);
    Record(rec::Protect).u16(0).writeTo(out);
    Record(rec::Password).u16(0).writeTo(out);
    Record(rec::Window1).u16(360).u16(270).u16(14940).u16(9150).u16(0x0038).u16(0).u16(0).u16(1).u16(600).writeTo(out);
    Record(rec::Backup).u16(0).writeTo(out);
    Record(rec::HideObj).u16(0).writeTo(out);
    Record(rec::DateMode).u16(0).writeTo(out);
    Record(rec::Precision).u16(1).writeTo(out);
    Record(rec::BookBool).u16(0).writeTo(out);
    fonts(out);
    cellFormats(out);

    // The sheets' stream positions are known only once the globals are complete.
    static constexpr std::array<std::u16string_view, kSheetCount> names = {u"Sheet1", u"Sheet2", u"Sheet3"};
    std::array<std::size_t, kSheetCount> positionFields{};
    for (std::size_t i = 0; i < kSheetCount; ++i) {
        positionFields[i] = out.size() + 4;
        Record sheet(xls::rt::BoundSheet);
        sheet.u32(0).u8(0).u8(0); // visible worksheet
        sheet.u8(static_cast<std::uint8_t>(names[i].size())).u8(0x00);
        for (char16_t c : names[i]) sheet.u8(static_cast<std::uint8_t>(c));
        sheet.writeTo(out);
    }
    Record(rec::Country).u16(1).u16(86).writeTo(out);
    sharedStrings(out);
    eof(out);

    for (std::size_t i = 0; i < kSheetCount; ++i) {
        xls::putU32(out.bytes().data() + positionFields[i], static_cast<std::uint32_t>(out.size()));
        if (i == 0)
            rosterSheet(out);
        else
            emptySheet(out);
    }
    return std::move(out.bytes());
}

bool buildRosterWorkbookFile(std::vector<std::uint8_t>& file, std::string& error)
{
    const std::vector<std::uint8_t> stream = buildRosterWorkbookStream();
    // Our own reader must take what we made before the program carries it.
    xls::Workbook check;
    if (!check.parse(stream, error)) return false;
    xls::CompoundNode root;
    root.isStorage = true;
    xls::CompoundNode workbook;
    workbook.name = "Workbook";
    workbook.bytes = stream;
    root.children.push_back(std::move(workbook));
    return xls::writeCompoundFile(root, file, error);
}

} // namespace qr::workbook
