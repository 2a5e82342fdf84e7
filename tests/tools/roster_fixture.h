// What the end-to-end tests of the tool share: a scratch folder, CSV text in UTF-8,
// pictures, and the positions of a roster store's fields and blocks.
#pragma once

#include "tests/support/file_bytes.h"
#include "tests/tools/tool_runner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qr::tests {

// A u8"" literal as std::string (narrow literals are GBK in this project).
inline std::string u8s(std::u8string_view s) { return std::string(s.begin(), s.end()); }

inline const std::string kHeadings =
    u8s(u8"序号,姓名,性别,身高,体重,年龄,学籍辅号,全国学号,是否住宿,宿舍号,床位号,身份证号,家庭住址,"
        u8"监护1关系,监护1姓名,监护1电话,监护2关系,监护2姓名,监护2电话");

// A CSV row for student n with a recognisable name.
inline std::string studentRow(int n, const std::string& name)
{
    return std::to_string(n) + "," + name + u8s(u8",女,150.5,40.25,12,1001,G1001,否,,,1101082010") +
           std::to_string(100000 + n) + u8s(u8",Hollowmere村,母亲,李,188,,,");
}

// A JPEG-looking picture of the given size whose bytes depend on seed.
inline std::vector<std::uint8_t> makeJpeg(std::size_t size, int seed)
{
    std::vector<std::uint8_t> b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed) * 13);
    b[0] = 0xFF, b[1] = 0xD8, b[2] = 0xFF;
    return b;
}

inline void writeBytesTo(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    writeText(path, std::string(bytes.begin(), bytes.end()));
}

// Where a field's bytes of record r (1-based) lie in a data file, read from its header.
inline std::size_t fieldPosition(const std::string& dataFile, int record, int field)
{
    const std::int32_t fieldCount = readInt32At(dataFile, 112);
    const std::int32_t recordLength = readInt32At(dataFile, 24);
    const std::int32_t offset = readInt32At(dataFile, 116 + 72 * static_cast<std::size_t>(field - 1) + 24);
    return 116 + 72 * static_cast<std::size_t>(fieldCount) + static_cast<std::size_t>(recordLength) * (record - 1) +
           static_cast<std::size_t>(offset);
}

class RosterTest : public ::testing::Test {
protected:
    std::string store() const { return dir.file("xsdate.edb"); }
    std::string aux() const { return dir.file("xsdate.EDT"); }
    void createRoster()
    {
        const ToolResult r = runTool({"create-roster", store()});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    void importRows(const std::vector<std::string>& rows, const std::string& photos = {})
    {
        std::string csv = kHeadings + "\r\n";
        for (const auto& row : rows)
            csv += row + "\r\n";
        writeText(dir.file("in.csv"), csv);
        std::vector<std::string> args = {"import-csv", store(), dir.file("in.csv")};
        if (!photos.empty())
            args.insert(args.end(), {"--photos", photos});
        const ToolResult r = runTool(args);
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    TempDir dir;
};

} // namespace qr::tests
