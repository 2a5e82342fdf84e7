#include "tests/xlsodbc/workbook_builder.h"

#include "xlsodbc/biff_io.h"
#include "xlsodbc/biff_strings.h"
#include "xlsodbc/compound_file.h"

#include <map>
#include <stdexcept>

namespace qr::xls::testing {
namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> list)
{
    std::vector<std::uint8_t> out;
    for (int b : list)
        out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

std::vector<std::uint8_t> bof(std::uint16_t type)
{
    ByteWriter w;
    w.u16(0x0600);
    w.u16(type);
    w.u16(0x0DBB);
    w.u16(0x07CC);
    w.u32(0);
    w.u32(0x06);
    return w.bytes();
}

std::vector<std::uint8_t> shortString(std::u16string_view s)
{
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(s.size()), 0x01};
    for (char16_t c : s) {
        out.push_back(c & 0xFF);
        out.push_back(c >> 8);
    }
    return out;
}

} // namespace

std::vector<std::uint8_t> buildWorkbookStream(const std::vector<SheetSpec>& sheets)
{
    std::vector<SstEntry> sst;
    std::map<std::u16string, std::uint32_t> index;
    std::uint32_t refs = 0;
    for (const SheetSpec& s : sheets)
        for (const std::u16string& h : s.headings) {
            ++refs;
            if (index.emplace(h, static_cast<std::uint32_t>(sst.size())).second)
                sst.push_back(SstEntry{h, {}, {}});
        }

    ByteWriter w;
    w.record(rt::Bof, bof(0x0005));
    w.record(rt::CodePage, bytes({0xB0, 0x04}));
    w.record(0x003D, bytes({0, 0, 0, 0, 0x5C, 0x3A, 0xBE, 0x23, 0x38, 0, 0, 0, 0, 0, 1, 0, 0x58, 0x02})); // WINDOW1
    for (int f = 0; f < 5; ++f) {
        ByteWriter font;
        font.u16(200);
        font.u16(0);
        font.u16(0x7FFF);
        font.u16(400);
        font.u16(0);
        font.u8(0);
        font.u8(0);
        font.u8(0);
        font.u8(0);
        const std::u16string name = u"Arial";
        font.raw(shortString(name));
        w.record(0x0031, font.bytes());
    }
    for (int x = 0; x < 16; ++x) {
        if (x < 15)
            w.record(rt::Xf, bytes({0, 0, 0, 0, 0xF5, 0xFF, 0x20, 0, 0, 0xF4, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x20}));
        else
            w.record(rt::Xf, bytes({0, 0, 0, 0, 0x01, 0x00, 0x20, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x20}));
    }
    w.record(0x0293, bytes({0x00, 0x80, 0x00, 0xFF})); // STYLE: Normal
    std::vector<std::size_t> boundPos;
    for (const SheetSpec& s : sheets) {
        std::vector<std::uint8_t> data{0, 0, 0, 0, 0, 0};
        const auto name = shortString(s.name);
        data.insert(data.end(), name.begin(), name.end());
        boundPos.push_back(w.size() + 4);
        w.record(rt::BoundSheet, data);
    }
    writeSst(w, sst, refs);
    w.record(rt::Eof, {});

    for (std::size_t k = 0; k < sheets.size(); ++k) {
        const SheetSpec& s = sheets[k];
        putU32(w.bytes().data() + boundPos[k], static_cast<std::uint32_t>(w.size()));
        const bool hasRow = !s.headings.empty();
        w.record(rt::Bof, bof(0x0010));
        const std::size_t indexPos = w.size();
        w.record(rt::Index, std::vector<std::uint8_t>(hasRow ? 20 : 16, 0));
        const std::size_t defColPos = w.size();
        w.record(rt::DefColWidth, bytes({8, 0}));
        for (const auto& [col, width] : s.widths) {
            ByteWriter ci;
            ci.u16(col);
            ci.u16(col);
            ci.u16(width);
            ci.u16(15);
            ci.u16(0);
            ci.u16(0);
            w.record(rt::ColInfo, ci.bytes());
        }
        ByteWriter dims;
        dims.u32(0);
        dims.u32(hasRow ? 1 : 0);
        dims.u16(0);
        dims.u16(static_cast<std::uint16_t>(s.headings.size()));
        dims.u16(0);
        w.record(rt::Dimensions, dims.bytes());
        std::size_t dbCellPos = 0;
        if (hasRow) {
            const std::size_t rowPos = w.size();
            ByteWriter row;
            row.u16(0);
            row.u16(0);
            row.u16(static_cast<std::uint16_t>(s.headings.size()));
            row.u16(0x00FF);
            row.u32(0);
            row.u16(0x0100);
            row.u16(0x000F);
            w.record(rt::Row, row.bytes());
            const std::size_t firstCell = w.size();
            for (std::size_t c = 0; c < s.headings.size(); ++c) {
                ByteWriter cell;
                cell.u16(0);
                cell.u16(static_cast<std::uint16_t>(c));
                cell.u16(15);
                cell.u32(index.at(s.headings[c]));
                w.record(rt::LabelSst, cell.bytes());
            }
            dbCellPos = w.size();
            ByteWriter db;
            db.u32(static_cast<std::uint32_t>(dbCellPos - rowPos));
            db.u16(static_cast<std::uint16_t>(firstCell - (rowPos + 20)));
            w.record(rt::DbCell, db.bytes());
        }
        w.record(0x023E, bytes({k == 0 ? 0xB6 : 0xB6, k == 0 ? 0x06 : 0x00, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        w.record(rt::Eof, {});
        std::uint8_t* idx = w.bytes().data() + indexPos + 4;
        putU32(idx + 4, 0);
        putU32(idx + 8, hasRow ? 1 : 0);
        putU32(idx + 12, static_cast<std::uint32_t>(defColPos));
        if (hasRow)
            putU32(idx + 16, static_cast<std::uint32_t>(dbCellPos));
    }
    return std::move(w.bytes());
}

std::vector<std::uint8_t> buildWorkbookFile(const std::vector<SheetSpec>& sheets,
                                            const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extraStreams)
{
    CompoundNode root;
    root.isStorage = true;
    CompoundNode book;
    book.name = "Workbook";
    book.bytes = buildWorkbookStream(sheets);
    root.children.push_back(std::move(book));
    for (const auto& [name, data] : extraStreams) {
        CompoundNode extra;
        extra.name = name;
        extra.bytes = data;
        root.children.push_back(std::move(extra));
    }
    std::vector<std::uint8_t> file;
    std::string error;
    if (!writeCompoundFile(root, file, error))
        throw std::runtime_error(error);
    return file;
}

std::vector<std::uint8_t> buildRosterStyleFile(const std::vector<std::u16string>& headings,
                                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& widths)
{
    return buildWorkbookFile({SheetSpec{u"Sheet1", headings, widths}, SheetSpec{u"Sheet2", {}, {}}, SheetSpec{u"Sheet3", {}, {}}},
                             {{"ExtraStream", std::vector<std::uint8_t>(200, 0x11)}});
}

} // namespace qr::xls::testing
