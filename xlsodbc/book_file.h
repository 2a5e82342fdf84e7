// One workbook file opened by a connection: the compound file with all its streams,
// and the workbook parsed from its "Workbook" stream. Inserted rows live in memory
// until save(), which rewrites the file once.
#pragma once

#include "xlsodbc/compound_file.h"
#include "xlsodbc/workbook.h"

#include <string>

namespace qr::xls {

class BookFile {
public:
    // `path` is a file-system path (UTF-8). On failure `error` says why.
    bool open(const std::string& path, std::string& error);
    // Writes the workbook back when rows were inserted since the last save.
    bool save(std::string& error);
    // Drops unsaved rows by reading the file again.
    bool reload(std::string& error) { return open(path_, error); }

    Workbook& workbook() { return book_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    CompoundNode container_;
    Workbook book_;
};

// Parses a compound file image into a workbook (and its container).
bool parseWorkbookFile(std::span<const std::uint8_t> file, CompoundNode& container, Workbook& book, std::string& error);

} // namespace qr::xls
