// Whole files for tests that compare or patch what a program wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr::test_support {

// The file's bytes; "<missing>" when it cannot be opened, so a missing file never
// compares equal to an empty one.
std::string wholeFile(const std::string& path);
std::vector<std::uint8_t> wholeFileBytes(const std::string& path); // empty when missing
void writeWholeFile(const std::string& path, const std::string& bytes);
void writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace qr::test_support
