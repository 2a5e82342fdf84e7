// The tool end to end on stores made by create-roster: what it writes, what it
// reads back, and what CSV import and export carry across.
#include "tests/tools/roster_fixture.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>

namespace qr::tests {
namespace {

using nlohmann::json;

json dump(const std::string& store)
{
    const ToolResult r = runTool({"dump", store});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    return json::parse(r.out);
}

TEST_F(RosterTest, CreateRosterLaysDownTheTwentyFields)
{
    createRoster();
    const json d = dump(store());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {u8s(u8"序号"), "integer"},   {u8s(u8"姓名"), "text"},      {u8s(u8"性别"), "text"},
        {u8s(u8"身高"), "double"},    {u8s(u8"体重"), "float"},     {u8s(u8"年龄"), "text"},
        {u8s(u8"学籍辅号"), "text"},  {u8s(u8"全国学号"), "text"},  {u8s(u8"照片"), "byteset"},
        {u8s(u8"是否住宿"), "text"},  {u8s(u8"宿舍号"), "text"},    {u8s(u8"床位号"), "text"},
        {u8s(u8"身份证号"), "text"},  {u8s(u8"家庭住址"), "text"},  {u8s(u8"监护1关系"), "text"},
        {u8s(u8"监护1姓名"), "text"}, {u8s(u8"监护1电话"), "text"}, {u8s(u8"监护2关系"), "text"},
        {u8s(u8"监护2姓名"), "text"}, {u8s(u8"监护2电话"), "text"},
    };
    ASSERT_EQ(d["fields"].size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(d["fields"][i]["name"], expected[i].first) << i;
        EXPECT_EQ(d["fields"][i]["type"], expected[i].second) << i;
    }
    // The form limits 年龄 and 学籍辅号 to 12 bytes and 身份证号 to 18; the fields hold more.
    EXPECT_GE(d["fields"][5]["size"].get<int>(), 12);
    EXPECT_GE(d["fields"][6]["size"].get<int>(), 12);
    EXPECT_GE(d["fields"][12]["size"].get<int>(), 18);
    EXPECT_EQ(d["next_serial"], 1);
    EXPECT_TRUE(d["records"].empty());
    EXPECT_EQ(runTool({"check", store()}).exitStatus, 0);

    // A second create refuses and leaves the store as it was.
    importRows({studentRow(1, "A")});
    const auto before = readBytes(store());
    const ToolResult again = runTool({"create-roster", store()});
    EXPECT_EQ(again.exitStatus, 2);
    EXPECT_EQ(again.errorLines().size(), 1u);
    EXPECT_EQ(readBytes(store()), before);
}

TEST_F(RosterTest, ChinesePathsReachTheFileSystemUnchanged)
{
    std::filesystem::create_directory(dir.file(u8s(u8"初中2017级")));
    const std::string named = dir.file(u8s(u8"初中2017级/花名册")); // the default extension is added
    ASSERT_EQ(runTool({"create-roster", named}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::exists(named + ".EDB"));
    EXPECT_TRUE(std::filesystem::exists(named + ".EDT"));
    const ToolResult info = runTool({"info", named});
    EXPECT_EQ(info.exitStatus, 0) << info.err;
    EXPECT_NE(info.out.find(u8s(u8"初中2017级/花名册.EDB")), std::string::npos) << info.out;
    EXPECT_EQ(runTool({"check", named}).exitStatus, 0);
}

TEST_F(RosterTest, ImportConvertsAsTheAddFormAndDumpShowsEveryKind)
{
    createRoster();
    writeText(dir.file("abc.bin"), "abc");
    std::filesystem::create_directory(dir.file("photos"));
    writeText(dir.file("photos/17.bin"), "abc"); // bytes that are no picture travel as .bin
    // 序号 and 身高 in full-width digits, 体重 with a unit, 年龄 kept as typed.
    importRows({u8s(u8"１７,小明,男,１６５．５,45.5kg,12岁,1,G1,是,1#201,8,110,\"村,\"\"二\"\"组\",父亲,王,188,,,"),
                u8s(u8"abc,小红,女,,x,,,,,,,,,,,,,,")},
               dir.file("photos"));
    const json d = dump(store());
    ASSERT_EQ(d["records"].size(), 2u);
    const json& first = d["records"][0];
    EXPECT_EQ(first["serial"], 1);
    EXPECT_EQ(first["deleted"], false);
    const json& v = first["values"];
    EXPECT_EQ(v[0], 17);
    EXPECT_EQ(v[1], u8s(u8"小明"));
    EXPECT_EQ(v[3], 165.5); // a double keeps the fraction
    EXPECT_EQ(v[4], 45.5);
    EXPECT_EQ(v[5], u8s(u8"12岁"));
    EXPECT_EQ(v[8]["size"], 3);
    EXPECT_EQ(v[8]["sha256"], "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(v[13], u8s(u8"村,\"二\"组"));
    EXPECT_EQ(v[17], "");
    const json& second = d["records"][1]["values"];
    EXPECT_EQ(second[0], 0); // no number in "abc": 0, as the form stores it
    EXPECT_EQ(second[3], 0);
    EXPECT_EQ(second[8]["size"], 0);
    EXPECT_EQ(d["next_serial"], 3);
}

TEST_F(RosterTest, CsvRoundTripKeepsTextsNumbersAndPhotos)
{
    createRoster();
    std::filesystem::create_directory(dir.file("photos"));
    const auto jpeg = makeJpeg(1234, 1);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3};
    writeBytesTo(dir.file("photos/1.jpg"), jpeg);
    writeBytesTo(dir.file("photos/3.PNG"), png);
    const std::vector<std::string> rows = {
        u8s(u8"1,\"O'Neil, \"\"Jr\"\"\",男,170.25,60.1,13,1,G1,是,1#201,8,110,\"第一行\r\n第二行\",父亲,王大,188,母亲,李,199"),
        u8s(u8"2,张三,女,0.1,0.3,12,2,G2,否,,,111,,,,,,,"),
        u8s(u8"3,𠀀字,女,1e2,1e-3,,,,,,,112,,,,,,,"), // a character outside GBK itself
    };
    importRows(rows, dir.file("photos"));

    const ToolResult exported = runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("out")});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    EXPECT_EQ(readBytes(dir.file("out/1.jpg")), jpeg);
    EXPECT_EQ(readBytes(dir.file("out/3.png")), png);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("out")), {}), 2);
    const std::string csv = readText(dir.file("out.csv"));
    EXPECT_EQ(csv.substr(0, kHeadings.size() + 2), kHeadings + "\r\n");
    EXPECT_NE(csv.find(u8s(u8"1,\"O'Neil, \"\"Jr\"\"\",男,170.25,60.1,")), std::string::npos) << csv;
    EXPECT_NE(csv.find(u8s(u8"\"第一行\r\n第二行\"")), std::string::npos);
    EXPECT_NE(csv.find(u8s(u8"3,𠀀字,女,100,0.001,")), std::string::npos) << csv;

    // Importing the export into a new store gives the same values.
    const std::string copy = dir.file("copy.edb");
    ASSERT_EQ(runTool({"create-roster", copy}).exitStatus, 0);
    const ToolResult again = runTool({"import-csv", copy, dir.file("out.csv"), "--photos", dir.file("out")});
    ASSERT_EQ(again.exitStatus, 0) << again.err;
    const json a = dump(store());
    const json b = dump(copy);
    ASSERT_EQ(a["records"].size(), 3u);
    for (std::size_t r = 0; r < 3; ++r)
        EXPECT_EQ(a["records"][r]["values"], b["records"][r]["values"]) << r;
}

TEST_F(RosterTest, ExportSkipsDeletedStudentsAndRefusesCollidingPhotoNames)
{
    createRoster();
    std::filesystem::create_directory(dir.file("photos"));
    writeBytesTo(dir.file("photos/5.jpg"), makeJpeg(700, 2));
    // One photo for two rows numbered 5 is refused: whose would it be?
    writeText(dir.file("two.csv"), kHeadings + "\r\n" + studentRow(5, "A") + "\r\n" + studentRow(5, "C") + "\r\n");
    const ToolResult ambiguous = runTool({"import-csv", store(), dir.file("two.csv"), "--photos", dir.file("photos")});
    EXPECT_EQ(ambiguous.exitStatus, 2);
    EXPECT_NE(ambiguous.err.find("fits two rows, lines 2 and 3"), std::string::npos) << ambiguous.err;
    importRows({studentRow(5, "A"), studentRow(6, "B")}, dir.file("photos"));
    importRows({studentRow(5, "C")}, dir.file("photos"));
    // Both students numbered 5 have a photo now: their files would take one name.
    const ToolResult collide = runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("out")});
    EXPECT_EQ(collide.exitStatus, 2);
    EXPECT_EQ(collide.errorLines().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));

    ASSERT_EQ(runTool({"delete", store(), "3"}).exitStatus, 0);
    const ToolResult r = runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("out")});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::string csv = readText(dir.file("out.csv"));
    EXPECT_NE(csv.find("\r\n5,A,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n6,B,"), std::string::npos);
    EXPECT_EQ(csv.find(",C,"), std::string::npos);

    // An export never writes into a folder that holds files already.
    const ToolResult busy = runTool({"export-csv", store(), dir.file("again.csv"), "--photos", dir.file("out")});
    EXPECT_EQ(busy.exitStatus, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("again.csv")));
}

TEST_F(RosterTest, DeletePackAndClearKeepSerialNumbers)
{
    createRoster();
    std::filesystem::create_directory(dir.file("photos"));
    for (int n : {1, 2, 4})
        writeBytesTo(dir.file("photos/" + std::to_string(n) + ".jpg"), makeJpeg(1200, n));
    importRows({studentRow(1, "A"), studentRow(2, "B"), studentRow(3, "C"), studentRow(4, "D"), studentRow(5, "E")},
               dir.file("photos"));
    EXPECT_EQ(runTool({"delete", store(), "2"}).exitStatus, 0);
    EXPECT_EQ(runTool({"delete", store(), "4"}).exitStatus, 0);
    const ToolResult twice = runTool({"delete", store(), "4"});
    EXPECT_EQ(twice.exitStatus, 0);
    EXPECT_NE(twice.out.find("deleted already"), std::string::npos);

    const ToolResult info = runTool({"info", store()});
    EXPECT_NE(info.out.find("records: 5 (live 3, deleted 2)"), std::string::npos) << info.out;
    EXPECT_EQ(runTool({"check", store()}).exitStatus, 0);

    ASSERT_EQ(runTool({"pack", store()}).exitStatus, 0);
    json d = dump(store());
    std::vector<int> serials, numbers;
    for (const auto& r : d["records"]) {
        serials.push_back(r["serial"]);
        numbers.push_back(r["values"][0]);
    }
    EXPECT_EQ(serials, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(numbers, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(d["records"][0]["values"][8]["size"], 1200);
    const ToolResult packedCheck = runTool({"check", store()});
    EXPECT_EQ(packedCheck.exitStatus, 0) << packedCheck.out;

    ASSERT_EQ(runTool({"clear", store()}).exitStatus, 0);
    d = dump(store());
    EXPECT_TRUE(d["records"].empty());
    EXPECT_EQ(d["next_serial"], 6);
    EXPECT_EQ(std::filesystem::file_size(aux()), 512u);
    importRows({studentRow(9, "F")});
    EXPECT_EQ(dump(store())["records"][0]["serial"], 6);
}

} // namespace
} // namespace qr::tests
