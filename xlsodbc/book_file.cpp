#include "xlsodbc/book_file.h"

#include "xlsodbc/file_io.h"

#include <strings.h>

namespace qr::xls {
namespace {

constexpr std::size_t kMinWorkbookStream = 4096;

CompoundNode* streamNamed(CompoundNode& root, const char* name)
{
    for (CompoundNode& child : root.children)
        if (!child.isStorage && strcasecmp(child.name.c_str(), name) == 0)
            return &child;
    return nullptr;
}

} // namespace

bool parseWorkbookFile(std::span<const std::uint8_t> file, CompoundNode& container, Workbook& book, std::string& error)
{
    if (!readCompoundFile(file, container, error))
        return false;
    CompoundNode* stream = streamNamed(container, "Workbook");
    if (!stream) {
        error = streamNamed(container, "Book") ? "the workbook is in the Excel 5.0/95 format, which is not supported"
                                               : "the file holds no workbook";
        return false;
    }
    if (!book.parse(stream->bytes, error)) {
        error = "the workbook is damaged: " + error;
        return false;
    }
    return true;
}

bool BookFile::open(const std::string& path, std::string& error)
{
    path_ = path;
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    return parseWorkbookFile(bytes, container_, book_, error);
}

bool BookFile::save(std::string& error)
{
    if (!book_.dirty())
        return true;
    CompoundNode* stream = streamNamed(container_, "Workbook");
    stream->bytes = book_.serialize();
    // Spreadsheet programs expect the workbook stream in ordinary sectors, which
    // takes at least 4096 bytes; readers stop at the last sheet's EOF.
    if (stream->bytes.size() < kMinWorkbookStream)
        stream->bytes.resize(kMinWorkbookStream, 0);
    std::vector<std::uint8_t> file;
    if (!writeCompoundFile(container_, file, error) || !replaceFile(path_, file, error))
        return false;
    book_.markSaved();
    return true;
}

} // namespace qr::xls
