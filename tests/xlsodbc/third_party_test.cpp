// Files shared with other programs: workbooks written by a third-party writer read
// through the driver, and the driver's files read by a third-party reader.
#include "runtime/gbk.h"
#include "tests/xlsodbc/odbc_client.h"
#include "tests/xlsodbc/test_files.h"
#include "tests/xlsodbc/workbook_builder.h"
#include "xlsodbc/compound_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace qr::xls::testing {
namespace {

using Cells = std::vector<std::optional<std::string>>;

nlohmann::json dumpWithReader(const std::string& file)
{
    int status = 0;
    const std::string out = runScript("xlrd_dump.py", file, status);
    EXPECT_EQ(status, 0) << out;
    return nlohmann::json::parse(out, nullptr, false);
}

std::string utf8(const nlohmann::json& v) { return v.get<std::string>(); }

// The words sheet's text for row i, as the writer script makes it (UTF-8).
std::string expectedWord(int i)
{
    auto repeat = [](const char8_t* s, int n) {
        std::string out;
        for (int k = 0; k < n; ++k)
            out += reinterpret_cast<const char*>(s);
        return out;
    };
    const std::string n = std::to_string(i);
    if (i % 3 == 0)
        return reinterpret_cast<const char*>(u8"第") + n + reinterpret_cast<const char*>(u8"行") +
               repeat(u8"汉字", i % 40);
    if (i % 3 == 1)
        return "ascii text number " + n + " " + std::string(static_cast<std::size_t>(i % 300), 'x');
    return reinterpret_cast<const char*>(u8"混合 mixed ") + n + " " + repeat(u8"字", i % 200);
}

TEST(ThirdPartyFiles, WorkbookWrittenByAnotherProgramReadsCorrectly)
{
    TempDir dir;
    const std::string file = dir.file("xlwt.xls");
    int status = 0;
    runScript("xlwt_make.py", file, status);
    ASSERT_EQ(status, 0);

    OdbcClient c;
    ASSERT_TRUE(c.connect("DBQ=" + file + ";Driver={Microsoft Excel Driver (*.xls)}; ")) << c.lastMessage();
    QueryResult r;
    ASSERT_TRUE(c.query("select * from [data$]", r)) << c.lastMessage();
    EXPECT_EQ(r.names, (std::vector<std::string>{"序号", "姓名", "身高", "备注"}));
    EXPECT_EQ(r.types, (std::vector<SQLSMALLINT>{SQL_DOUBLE, SQL_VARCHAR, SQL_DOUBLE, SQL_VARCHAR}));
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_EQ(r.rows[0], (Cells{"3", "张三", "170", "班长"}));
    EXPECT_EQ(r.rows[1], (Cells{"3", "李四", "45.5", std::nullopt}));
    EXPECT_EQ(r.rows[2], (Cells{"7", "O'Neil [x]", "-12.25", "a'b''c"}));
    EXPECT_EQ(r.rows[3], (Cells{"8", "王五", "1000000000000000", "TRUE"}));

    // Many shared strings: the table runs over CONTINUE records, strings split inside.
    ASSERT_TRUE(c.query("SELECT `文字`, `编号` FROM `Words$`", r)) << c.lastMessage();
    ASSERT_EQ(r.rows.size(), 1200u);
    for (int i = 1; i <= 1200; ++i) {
        ASSERT_EQ(r.rows[i - 1][0], gbkFromUtf8(expectedWord(i))) << "row " << i;
        ASSERT_EQ(r.rows[i - 1][1], std::to_string(i));
    }
    ASSERT_TRUE(c.query("SELECT * FROM [Empty$]", r));
    EXPECT_TRUE(r.rows.empty());
}

TEST(ThirdPartyFiles, ExportedRowsReadByAnotherProgram)
{
    TempDir dir;
    const std::string file = dir.file("export.xls");
    writeFile(file, buildRosterStyleFile(rosterHeadings(), rosterWidths()));
    const std::string columns =
        "([序号],[姓名],[性别],[身高],[体重],[年龄],[学籍辅号],[全国学号],[是否住宿],[宿舍号],[床位号],[身份证号],[家庭住址],"
        "[监护1关系],[监护1姓名],[监护1电话],[监护2关系],[监护2姓名],[监护2电话])";
    {
        OdbcClient c;
        ASSERT_TRUE(c.connect(exportConnectString(file))) << c.lastMessage();
        for (int row = 1; row <= 3; ++row) {
            std::string values = "'" + std::to_string(row) + "'";
            for (int col = 1; col < 19; ++col)
                values += ",'" +
                          (col == 1 && row == 2 ? std::string("O''Brien")
                                                : "v" + std::to_string(row) + "_" + std::to_string(col)) +
                          "'";
            ASSERT_TRUE(c.exec("INSERT INTO [sheet1$] " + columns + " VALUES (" + values + ")")) << c.lastMessage();
        }
    }
    const nlohmann::json book = dumpWithReader(file);
    ASSERT_FALSE(book.is_discarded());
    ASSERT_EQ(book["sheets"].size(), 3u);
    const auto& sheet1 = book["sheets"][0];
    EXPECT_EQ(utf8(sheet1["name"]), "Sheet1");
    ASSERT_EQ(sheet1["rows"].size(), 4u);
    for (std::size_t col = 0; col < 19; ++col)
        EXPECT_EQ(gbkFromUtf8(utf8(sheet1["rows"][0][col]["value"])), qr::runtime::utf16ToGbk(rosterHeadings()[col]));
    for (int row = 1; row <= 3; ++row) {
        const auto& cells = sheet1["rows"][row];
        ASSERT_EQ(cells.size(), 19u);
        for (const auto& cell : cells) {
            EXPECT_EQ(utf8(cell["type"]), "text"); // every cell a text, numbers included
            EXPECT_FALSE(cell["styleFormat"].get<bool>());
        }
        EXPECT_EQ(utf8(cells[0]["value"]), std::to_string(row));
        EXPECT_EQ(utf8(cells[18]["value"]), "v" + std::to_string(row) + "_18");
    }
    EXPECT_EQ(utf8(sheet1["rows"][2][1]["value"]), "O'Brien");
    const auto widths = rosterWidths();
    for (const auto& [col, width] : widths)
        EXPECT_EQ(sheet1["widths"][std::to_string(col)].get<int>(), width) << "column " << col;
    EXPECT_TRUE(book["sheets"][1]["rows"].empty());
    EXPECT_TRUE(book["sheets"][2]["rows"].empty());

    // The container's other streams are still there.
    CompoundNode root;
    std::string error;
    const auto bytes = readFile(file);
    ASSERT_TRUE(readCompoundFile(bytes, root, error)) << error;
    const CompoundNode* extra = root.findStream("ExtraStream");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->bytes, std::vector<std::uint8_t>(200, 0x11));
}

TEST(ThirdPartyFiles, InsertIntoAnotherProgramsWorkbookKeepsItReadable)
{
    TempDir dir;
    const std::string file = dir.file("grow.xls");
    int status = 0;
    runScript("xlwt_make.py", file, status);
    ASSERT_EQ(status, 0);
    {
        OdbcClient c;
        ASSERT_TRUE(c.connectTo(file));
        for (int i = 0; i < 3000; ++i)
            ASSERT_TRUE(c.exec("INSERT INTO [Words$] ([编号],[文字]) VALUES (" + std::to_string(1201 + i) + ",'新" +
                               std::to_string(i) + "')"));
        ASSERT_TRUE(c.exec("INSERT INTO [Data$] ([姓名]) VALUES ('赵六')"));
    }
    const nlohmann::json book = dumpWithReader(file);
    ASSERT_FALSE(book.is_discarded());
    const auto& words = book["sheets"][1];
    ASSERT_EQ(words["rows"].size(), 4201u);
    EXPECT_EQ(utf8(words["rows"][1200][1]["value"]), expectedWord(1200));
    EXPECT_EQ(words["rows"][4200][0]["value"].get<double>(), 4200.0);
    EXPECT_EQ(utf8(words["rows"][4200][1]["value"]), reinterpret_cast<const char*>(u8"新2999"));
    EXPECT_FALSE(words["rows"][4200][1]["styleFormat"].get<bool>()); // the writer's own cell format
    const auto& data = book["sheets"][0];
    ASSERT_EQ(data["rows"].size(), 6u);
    EXPECT_EQ(utf8(data["rows"][5][1]["value"]), reinterpret_cast<const char*>(u8"赵六"));
    EXPECT_EQ(utf8(data["rows"][1][1]["value"]), reinterpret_cast<const char*>(u8"张三"));
    EXPECT_EQ(data["rows"][1][2]["value"].get<double>(), 170.0);
}

} // namespace
} // namespace qr::xls::testing
