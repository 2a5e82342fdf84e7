// The byte-level file helpers the store tool's and the checker's tests share, and
// their scratch folder: the support library's whole-file helpers under the names these
// tests use, and the patching of one number in place.
#pragma once

#include "runtime/coding.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace qr::tests {

using test_support::TempDir;

inline std::vector<std::uint8_t> readBytes(const std::string& path) { return test_support::wholeFileBytes(path); }
inline std::string readText(const std::string& path) { return test_support::wholeFile(path); }
inline void writeText(const std::string& path, const std::string& text) { test_support::writeWholeFile(path, text); }

inline std::int32_t readInt32At(const std::string& path, std::size_t offset)
{
    const auto b = readBytes(path);
    (void)b.at(offset + 3); // past the end fails the test
    return runtime::getI32(b.data() + offset);
}

inline void patchInt32(const std::string& path, std::size_t offset, std::int32_t value)
{
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(offset));
    std::uint8_t bytes[4];
    runtime::putI32(bytes, value);
    f.write(reinterpret_cast<const char*>(bytes), 4);
}

} // namespace qr::tests
