// Whole-file helpers and the third-party scripts for the tests, and their scratch
// folder.
#pragma once

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qr::xls::testing {

using test_support::TempDir;

std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Runs /usr/bin/python3 on one of the test scripts; returns its standard output and
// sets `status` to its exit status.
std::string runScript(const std::string& script, const std::string& argument, int& status);

// UTF-8 (u8"" literals, JSON from the scripts) to the GBK the driver speaks.
std::string gbk(std::u8string_view utf8);
std::string gbkFromUtf8(const std::string& utf8);

// The nineteen headings of a roster sheet, and their column widths.
std::vector<std::u16string> rosterHeadings();
std::vector<std::pair<std::uint16_t, std::uint16_t>> rosterWidths();

} // namespace qr::xls::testing
