// check on stores the engine wrote, broken afterwards the way a crash or a faulty
// writer would break them.
#include "tests/tools/roster_fixture.h"

#include <filesystem>

namespace qr::tests {
namespace {

constexpr int kPhotoField = 9;

class CheckCommandTest : public RosterTest {
protected:
    // Students 1 to 3 with photos of 3, 2 and 1 blocks; student 2 deleted and packed,
    // so its blocks 4 and 5 are the free list and the file ends with student 3's block 6.
    void SetUp() override
    {
        createRoster();
        std::filesystem::create_directory(dir.file("photos"));
        writeBytesTo(dir.file("photos/1.jpg"), makeJpeg(1200, 1));
        writeBytesTo(dir.file("photos/2.jpg"), makeJpeg(600, 2));
        writeBytesTo(dir.file("photos/3.jpg"), makeJpeg(300, 3));
        importRows({studentRow(1, "A"), studentRow(2, "B"), studentRow(3, "C")}, dir.file("photos"));
        ASSERT_EQ(runTool({"delete", store(), "2"}).exitStatus, 0);
        ASSERT_EQ(runTool({"pack", store()}).exitStatus, 0);
        const ToolResult info = runTool({"info", store()});
        ASSERT_NE(info.out.find("auxiliary blocks: 7 (header 1, in use 4, free 2, free head 4)"), std::string::npos)
            << info.out;
        ASSERT_EQ(readInt32At(store(), fieldPosition(store(), 1, kPhotoField)), 1);
        ASSERT_EQ(readInt32At(store(), fieldPosition(store(), 2, kPhotoField)), 6);
    }
    ToolResult check() { return runTool({"check", store()}); }
    static std::size_t block(int n, int field) { return static_cast<std::size_t>(n) * 512 + 4 * field; }
};

TEST_F(CheckCommandTest, SoundAfterAppendDeletePack)
{
    const ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_EQ(r.out, "");
}

TEST_F(CheckCommandTest, LoopInAChain)
{
    patchInt32(aux(), block(3, 1), 1); // block 3's next goes back to block 1
    const ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.out.find("record 1 (serial 1) field 9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("loops back to block 1"), std::string::npos) << r.out;
    // Block 3 holds the last 200 bytes, so it is also a short block that is not last.
    EXPECT_NE(r.out.find("block 3 of the chain of record 1 (serial 1) field 9"), std::string::npos) << r.out;
    // dump reads the photo through the engine, which refuses the looping chain.
    const ToolResult dumped = runTool({"dump", store()});
    EXPECT_EQ(dumped.exitStatus, 1);
    EXPECT_NE(dumped.err.find(u8s(u8"访问数据库的辅助文件失败")), std::string::npos) << dumped.err;
    EXPECT_EQ(dumped.out, "");
}

TEST_F(CheckCommandTest, BlockInTwoChains)
{
    patchInt32(store(), fieldPosition(store(), 2, kPhotoField), 3); // record 2 takes record 1's last block
    const ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.out.find("block 3 is in the chain of record 2 (serial 3) field 9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("block 6 is lost"), std::string::npos) << r.out;
}

TEST_F(CheckCommandTest, LostBlock)
{
    patchInt32(store(), fieldPosition(store(), 2, kPhotoField), 0); // record 2 forgets its photo
    const ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "block 6 is lost: in no chain and not on the free list, so the space is never used again\n"
                     "1 problem found; quillroll-store repair " +
                         store() + " mends what can be mended without losing a record, after copying the files\n");
}

TEST_F(CheckCommandTest, BadFreeList)
{
    patchInt32(aux(), 20, 1); // the header counts one free block of two
    ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "the free list holds 2 blocks, the auxiliary header counts 1");

    patchInt32(aux(), 20, 2);
    patchInt32(aux(), block(5, 1), 2); // the free list runs into record 1's chain
    r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.out.find("block 2 is on the free list and in the chain of record 1"), std::string::npos) << r.out;

    patchInt32(aux(), block(5, 1), 0);
    patchInt32(aux(), block(5, 2), 12); // a free block claiming data
    r = check();
    EXPECT_NE(r.out.find("free block 5 has used count 12, not 0"), std::string::npos) << r.out;
}

TEST_F(CheckCommandTest, FilesCutShortAreExplainedNotRefused)
{
    patchInt32(aux(), 16, 99); // more blocks than the file holds, as a cut-off write leaves it
    const ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("the auxiliary file is shorter than its header says"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(u8s(u8"指定文件不是数据库辅助文件或已被损坏")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("lowered from 99 to the 7 whole blocks"), std::string::npos) << r.out;
}

TEST_F(CheckCommandTest, RefusesWhatItCannotOpen)
{
    patchInt32(aux(), 0, 0x4C4C4548); // no auxiliary file at all: the store is not sound
    ToolResult r = check();
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.errorLines().size(), 1u);
    EXPECT_NE(r.err.find(u8s(u8"读入数据库辅助文件失败")), std::string::npos) << r.err;

    r = runTool({"check", dir.file("missing.edb")});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_EQ(r.errorLines().size(), 1u);
}

} // namespace
} // namespace qr::tests
