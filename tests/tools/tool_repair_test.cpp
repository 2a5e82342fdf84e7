// repair end to end: what it prints, the copies it makes first, its refusals, and a
// doubled record that keeps its photo through the other copy's delete and pack.
#include "store/commands.h"
#include "tests/tools/roster_fixture.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

namespace qr::tests {
namespace {

using nlohmann::json;

constexpr int kPhotoField = 9;

std::vector<std::string> backupsIn(const TempDir& dir)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().find(".repair-backup-") != std::string::npos)
            found.push_back(entry.path().string());
    std::sort(found.begin(), found.end());
    return found;
}

class RepairCommandTest : public RosterTest {
protected:
    // Students 1 to 3 with photos of 1200, 600 and 300 bytes.
    void SetUp() override
    {
        createRoster();
        std::filesystem::create_directory(dir.file("photos"));
        for (int n = 1; n <= 3; ++n)
            writeBytesTo(dir.file("photos/" + std::to_string(n) + ".jpg"), makeJpeg(1500 / n, n));
        importRows({studentRow(1, "A"), studentRow(2, "B"), studentRow(3, "C")}, dir.file("photos"));
    }
    json dump()
    {
        const ToolResult r = runTool({"dump", store()});
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        return r.exitStatus == 0 ? json::parse(r.out) : json();
    }
    // What a pack cut off while it moved records down leaves: the last record twice.
    void doubleTheLastRecord()
    {
        auto data = readBytes(store());
        const std::int32_t length = readInt32At(store(), 24);
        data.insert(data.end(), data.end() - length, data.end());
        writeBytesTo(store(), data);
        patchInt32(store(), 16, 4);
    }
};

TEST_F(RepairCommandTest, SoundStoreNeedsNothingAndGetsNoBackup)
{
    const auto before = readBytes(store());
    const ToolResult r = runTool({"repair", store()});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "nothing to mend: " + store() + " passes the consistency check\n");
    EXPECT_TRUE(backupsIn(dir).empty());
    EXPECT_EQ(readBytes(store()), before);
}

TEST_F(RepairCommandTest, DoubledRecordIsMendedAfterACopyAndKeepsItsPhoto)
{
    doubleTheLastRecord();
    const auto dataBefore = readBytes(store());
    const auto auxBefore = readBytes(aux());
    const ToolResult r = runTool({"repair", store()});
    ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("mended: record 4 (serial 4) field 9 (" + u8s(u8"照片") + ") shared block"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("mended: record 4 had serial 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("note: record 4 is an exact copy of record 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("repaired: "), std::string::npos) << r.out;

    // The copies hold the store as it was; renaming them back would undo the repair.
    const auto backups = backupsIn(dir);
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_NE(r.out.find("backup: " + backups[0]), std::string::npos) << r.out;
    EXPECT_EQ(backups[0].rfind(aux() + ".repair-backup-", 0), 0u);
    EXPECT_EQ(backups[1].rfind(store() + ".repair-backup-", 0), 0u);
    EXPECT_EQ(readBytes(backups[0]), auxBefore);
    EXPECT_EQ(readBytes(backups[1]), dataBefore);

    EXPECT_EQ(runTool({"check", store()}).exitStatus, 0);
    json d = dump();
    ASSERT_EQ(d["records"].size(), 4u);
    const json photo = d["records"][2]["values"][kPhotoField - 1];
    EXPECT_EQ(d["records"][3]["values"][kPhotoField - 1], photo);
    EXPECT_NE(readInt32At(store(), fieldPosition(store(), 3, kPhotoField)),
              readInt32At(store(), fieldPosition(store(), 4, kPhotoField)));

    // The teacher deletes the original, packs, and adds a student whose photo takes
    // the freed blocks: the copy still shows its own photo.
    ASSERT_EQ(runTool({"delete", store(), "3"}).exitStatus, 0);
    ASSERT_EQ(runTool({"pack", store()}).exitStatus, 0);
    std::filesystem::create_directory(dir.file("more"));
    writeBytesTo(dir.file("more/9.jpg"), makeJpeg(900, 9));
    importRows({studentRow(9, "D")}, dir.file("more"));
    EXPECT_EQ(runTool({"check", store()}).exitStatus, 0);
    d = dump();
    ASSERT_EQ(d["records"].size(), 4u);
    EXPECT_EQ(d["records"][2]["values"][0], 3);
    EXPECT_EQ(d["records"][2]["values"][kPhotoField - 1], photo);
    EXPECT_EQ(d["records"][3]["values"][kPhotoField - 1]["size"], 900);
}

TEST_F(RepairCommandTest, FilesCutShortAreMendedAsAWritableOpenWould)
{
    patchInt32(aux(), 16, 40); // more blocks than the file holds
    const ToolResult r = runTool({"repair", store()});
    EXPECT_EQ(r.exitStatus, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("mended: the auxiliary block count goes from 40 to"), std::string::npos) << r.out;
    EXPECT_EQ(runTool({"check", store()}).exitStatus, 0);
    EXPECT_EQ(dump()["records"].size(), 3u);
}

TEST_F(RepairCommandTest, WhatCannotBeMendedIsSaidAndChangesNothing)
{
    // 姓名 laid over 序号: the field list itself is wrong, which no repair may guess at.
    patchInt32(store(), 116 + 72 * 1 + 24, 4);
    const auto before = readBytes(store());
    const ToolResult r = runTool({"repair", store()});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.out.find("not mended: field 1"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.rfind("not mended: ", 0), 0u) << r.out; // and no line saying what was changed
    EXPECT_EQ(r.out.find("\nmended: "), std::string::npos) << r.out;
    EXPECT_TRUE(backupsIn(dir).empty());
    EXPECT_EQ(readBytes(store()), before);
}

TEST_F(RepairCommandTest, RefusesBadArgumentsAndStoresOpenElsewhere)
{
    EXPECT_EQ(runTool({"repair"}).exitStatus, 2);
    EXPECT_EQ(runTool({"repair", store(), store()}).exitStatus, 2);
    const ToolResult missing = runTool({"repair", dir.file("missing.edb")});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_EQ(missing.errorLines().size(), 1u);

    doubleTheLastRecord();
    const auto before = readBytes(store());
    store::OpenOptions readOnly;
    readOnly.readOnly = true; // even a reader keeps the repair out
    ASSERT_TRUE(store::openStore(store(), readOnly));
    const ToolResult held = runTool({"repair", store()});
    store::closeStore();
    EXPECT_EQ(held.exitStatus, 2);
    ASSERT_EQ(held.errorLines().size(), 1u);
    EXPECT_NE(held.err.find("is open in another program"), std::string::npos) << held.err;
    EXPECT_TRUE(backupsIn(dir).empty());
    EXPECT_EQ(readBytes(store()), before);
    EXPECT_EQ(runTool({"repair", store()}).exitStatus, 0); // once it is closed
}

} // namespace
} // namespace qr::tests
