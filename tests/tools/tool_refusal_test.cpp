// Bad input is refused with one line and a non-zero exit, before any file changes;
// read-only commands never change a file.
#include "tests/tools/roster_fixture.h"

#include <filesystem>

namespace qr::tests {
namespace {

void expectRefused(const ToolResult& r, const std::string& words)
{
    EXPECT_EQ(r.exitStatus, 2) << r.out << r.err;
    ASSERT_EQ(r.errorLines().size(), 1u) << r.err;
    EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
}

TEST_F(RosterTest, BadArgumentsAreRefused)
{
    createRoster();
    importRows({studentRow(1, "A"), studentRow(2, "B")});
    const auto data = readBytes(store());
    const auto auxBytes = readBytes(aux());
    expectRefused(runTool({}), "no command given");
    expectRefused(runTool({"frobnicate", store()}), "unknown command");
    expectRefused(runTool({"export-csv", store(), dir.file("no/such/folder.csv")}),
                  "cannot write " + (dir.file("no/such/folder.csv")) + ": No such file or directory");
    expectRefused(runTool({"info"}), "usage");
    expectRefused(runTool({"dump", store(), "extra"}), "usage");
    expectRefused(runTool({"delete", store(), "abc"}), "not a whole number");
    expectRefused(runTool({"delete", store(), "0"}), "not a whole number");
    expectRefused(runTool({"delete", store(), "2x"}), "not a whole number");
    expectRefused(runTool({"delete", store(), "3"}), "there is no record 3: the store holds 2 records");
    expectRefused(runTool({"info", dir.file("missing.edb")}), u8s(u8"指定文件未找到"));
    expectRefused(runTool({"pack", dir.file("missing.edb")}), u8s(u8"指定文件未找到"));
    expectRefused(runTool({"import-csv", store(), dir.file("missing.csv")}), "cannot read");
    expectRefused(runTool({"info", "\xff\xfe.edb"}), "not valid UTF-8");
    EXPECT_EQ(readBytes(store()), data);
    EXPECT_EQ(readBytes(aux()), auxBytes);
}

TEST_F(RosterTest, BadCsvIsRefusedBeforeAnythingIsAppended)
{
    createRoster();
    importRows({studentRow(1, "A")});
    const auto data = readBytes(store());
    const auto auxBytes = readBytes(aux());
    auto importText = [&](const std::string& csv, std::vector<std::string> extra = {}) {
        writeText(dir.file("bad.csv"), csv);
        std::vector<std::string> args = {"import-csv", store(), dir.file("bad.csv")};
        args.insert(args.end(), extra.begin(), extra.end());
        return runTool(args);
    };
    const std::string good = studentRow(2, "B") + "\r\n";
    std::string renamed = kHeadings;
    renamed.replace(renamed.find(u8s(u8"监护1关系")), u8s(u8"监护1关系").size(), u8s(u8"监护人1关系"));
    expectRefused(importText(renamed + "\r\n" + good), u8s(u8"\"监护人1关系\", which is none of"));
    expectRefused(importText(kHeadings + "," + u8s(u8"姓名") + "\r\n"), "appears twice");
    expectRefused(importText(kHeadings.substr(0, kHeadings.rfind(',')) + "\r\n"),
                  u8s(u8"the heading \"监护2电话\" is missing"));
    expectRefused(importText(kHeadings + "\r\n" + good + "3,C\r\n"), "line 3 has 2 fields, the heading line 19");
    expectRefused(importText(kHeadings + "\r\n" + "4,\"open\r\n"), "line 2: a quoted field is never closed");
    expectRefused(importText(kHeadings + "\r\n" + studentRow(5, std::string(65, 'x')) + "\r\n"),
                  u8s(u8"line 2: 姓名 takes 65 bytes in GBK; the field holds 64"));
    expectRefused(importText(kHeadings + "\r\n" + studentRow(5, u8s(u8"名")) + "\xC3\r\n"), "is not UTF-8 text");
    expectRefused(importText(kHeadings + "\r\n" + "1e10" + studentRow(5, "E").substr(1) + "\r\n"),
                  "does not fit its integer field");
    expectRefused(importText(""), "is empty");

    std::filesystem::create_directory(dir.file("photos"));
    writeText(dir.file("photos/2.jpg"), "not a picture");
    expectRefused(importText(kHeadings + "\r\n" + good, {"--photos", dir.file("photos")}),
                  "is no JPEG, PNG, BMP, GIF, ICO or CUR picture");
    std::filesystem::remove(dir.file("photos/2.jpg"));
    writeBytesTo(dir.file("photos/7.jpg"), makeJpeg(100, 7));
    expectRefused(importText(kHeadings + "\r\n" + good, {"--photos", dir.file("photos")}), "belongs to no row");
    writeBytesTo(dir.file("photos/2.jpg"), makeJpeg(100, 2));
    writeBytesTo(dir.file("photos/2.gif"), makeJpeg(100, 2));
    expectRefused(importText(kHeadings + "\r\n" + good, {"--photos", dir.file("photos")}), "two photos for");
    expectRefused(importText(kHeadings + "\r\n" + good, {"--photos", dir.file("nowhere")}),
                  "cannot read the photo folder");

    EXPECT_EQ(readBytes(store()), data);
    EXPECT_EQ(readBytes(aux()), auxBytes);
}

TEST_F(RosterTest, ImportRefusesAStoreThatIsNoRoster)
{
    createRoster();
    writeText(dir.file("x.csv"), kHeadings + "\r\n");
    // A store whose 序号 field is named otherwise: change the name's first byte.
    std::vector<std::uint8_t> data = readBytes(store());
    data[116] = 'X';
    writeBytesTo(store(), data);
    expectRefused(runTool({"import-csv", store(), dir.file("x.csv")}), "is no roster store: field 1");
    expectRefused(runTool({"export-csv", store(), dir.file("y.csv")}), "is no roster store");
    EXPECT_EQ(readBytes(store()), data);
}

TEST_F(RosterTest, ReadOnlyCommandsLeaveEveryFileAsItWas)
{
    createRoster();
    std::filesystem::create_directory(dir.file("photos"));
    writeBytesTo(dir.file("photos/1.jpg"), makeJpeg(2000, 1));
    importRows({studentRow(1, "A"), studentRow(2, "B")}, dir.file("photos"));
    ASSERT_EQ(runTool({"delete", store(), "2"}).exitStatus, 0);
    // Bytes after the last counted record: a writable open would cut them.
    auto data = readBytes(store());
    data.resize(data.size() + 100, 0x77);
    writeBytesTo(store(), data);
    const auto auxBytes = readBytes(aux());

    EXPECT_EQ(runTool({"info", store()}).exitStatus, 0);
    EXPECT_EQ(runTool({"dump", store()}).exitStatus, 0);
    const ToolResult check = runTool({"check", store()});
    EXPECT_EQ(check.exitStatus, 1);
    EXPECT_EQ(check.errorLines().size(), 0u);
    EXPECT_EQ(check.out.rfind("the data file holds 100 bytes after its last counted record (record count 2)", 0), 0u)
        << check.out;
    EXPECT_EQ(runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("out")}).exitStatus, 0);
    EXPECT_EQ(readBytes(store()), data);
    EXPECT_EQ(readBytes(aux()), auxBytes);
}

TEST_F(RosterTest, WritableCommandRefusesAStoreItCannotOpenWhole)
{
    createRoster();
    importRows({studentRow(1, "A")});
    auto data = readBytes(store());
    data.resize(data.size() + 10, 0x77); // what the writable open would cut first ...
    writeBytesTo(store(), data);
    patchInt32(aux(), 0, 0x21212121); // ... before it finds the auxiliary file damaged
    const auto auxBytes = readBytes(aux());
    // A damaged store is no bad argument: it is not sound (exit 1), and nothing changes.
    const auto expectUnsound = [](const ToolResult& r) {
        EXPECT_EQ(r.exitStatus, 1) << r.out << r.err;
        ASSERT_EQ(r.errorLines().size(), 1u) << r.err;
        EXPECT_NE(r.err.find(u8s(u8"读入数据库辅助文件失败")), std::string::npos) << r.err;
    };
    for (const char* command : {"pack", "clear", "info", "dump"})
        expectUnsound(runTool({command, store()}));
    expectUnsound(runTool({"delete", store(), "1"}));
    expectUnsound(runTool({"import-csv", store(), dir.file("in.csv")}));
    expectUnsound(runTool({"export-csv", store(), dir.file("out.csv")}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv")));
    EXPECT_EQ(readBytes(store()), data);
    EXPECT_EQ(readBytes(aux()), auxBytes);
}

TEST_F(RosterTest, WritableCommandReportsTheCorrectionItMakes)
{
    createRoster();
    importRows({studentRow(1, "A"), studentRow(2, "B")});
    const std::size_t whole = std::filesystem::file_size(store());
    std::filesystem::resize_file(store(), whole - 500);  // half of the second record is gone
    EXPECT_EQ(runTool({"info", store()}).exitStatus, 1); // read-only: the count is wrong
    const ToolResult packed = runTool({"pack", store()});
    EXPECT_EQ(packed.exitStatus, 0) << packed.err;
    EXPECT_NE(packed.out.find("the record count will be lowered from 2 to the 1 whole records"), std::string::npos)
        << packed.out;
    EXPECT_EQ(runTool({"info", store()}).exitStatus, 0);
}

} // namespace
} // namespace qr::tests
