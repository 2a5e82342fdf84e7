// The checker on stores written byte by byte: sound ones, and ones broken in each of
// the ways a crash, a faulty writer or a hand edit leaves them.
#include "store/check/consistency_check.h"
#include "tests/store/check/raw_store_image.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qr::tests {
namespace {

using store::checkStore;

bool mentions(const store::CheckReport& report, const std::string& words)
{
    return std::any_of(report.problems.begin(), report.problems.end(),
                       [&](const std::string& line) { return line.find(words) != std::string::npos; });
}

std::string joined(const store::CheckReport& report)
{
    std::string all;
    for (const auto& line : report.problems)
        all += line + "\n";
    return all;
}

// Three students: a 1200-byte photo (3 blocks), none, a 500-byte photo (1 block),
// and two free blocks between them.
RawStoreImage soundStore()
{
    RawStoreImage s;
    const std::int32_t a = s.appendChain(1200); // blocks 1..3
    s.setBlock(4, 0, 0, 0);
    s.setBlock(5, 0, 0, 0);
    const std::int32_t c = s.appendChain(500); // block 6
    s.setFreeList({5, 4});
    s.addRecord(1, 1, a, "Ann");
    s.addRecord(-2, 2, 0, "Bo");
    s.addRecord(3, 3, c, "Cy");
    s.nextSerial = 4;
    return s;
}

class CheckerTest : public ::testing::Test {
protected:
    store::CheckReport check(const RawStoreImage& image)
    {
        image.write(dir.file("s"));
        return checkStore(dir.file("s.edb"));
    }
    TempDir dir;
};

TEST_F(CheckerTest, SoundStoresHaveNoProblems)
{
    const auto report = check(soundStore());
    EXPECT_EQ(report.openResult, store::rc::kOk);
    EXPECT_TRUE(report.problems.empty()) << joined(report);

    RawStoreImage empty; // no record, no block
    const auto emptyReport = check(empty);
    EXPECT_EQ(emptyReport.openResult, store::rc::kOk);
    EXPECT_TRUE(emptyReport.problems.empty()) << joined(emptyReport);
}

TEST_F(CheckerTest, NameWithoutExtensionGetsTheDefaultOne)
{
    RawStoreImage s = soundStore();
    RawStoreImage::writeBytes(dir.file("plain.EDB"), s.dataBytes());
    RawStoreImage::writeBytes(dir.file("plain.EDT"), s.auxBytes());
    const auto report = checkStore(dir.file("plain"));
    EXPECT_EQ(report.openResult, store::rc::kOk);
    EXPECT_TRUE(report.problems.empty()) << joined(report);
}

TEST_F(CheckerTest, ChainThatLoopsIsReportedOnceAndEnds)
{
    RawStoreImage s = soundStore();
    s.setBlock(3, 2, 1, 500); // the last block links back to the first
    const auto report = check(s);
    EXPECT_TRUE(mentions(report, "loops back to block 1")) << joined(report);
}

TEST_F(CheckerTest, BlockInTwoChains)
{
    RawStoreImage s = soundStore();
    s.records[2][8] = 2; // record 3's photo starts in the middle of record 1's chain
    const auto report = check(s);
    EXPECT_TRUE(mentions(report, "block 2 is in the chain of record 3")) << joined(report);
    EXPECT_TRUE(mentions(report, "record 1")) << joined(report);
    EXPECT_TRUE(mentions(report, "block 6 is lost")) << joined(report);
}

TEST_F(CheckerTest, LostBlocksAreReportedAsRuns)
{
    RawStoreImage s = soundStore();
    s.records[0][8] = 0; // record 1 forgets its photo: blocks 1 to 3 belong to nobody
    const auto report = check(s);
    EXPECT_TRUE(mentions(report, "blocks 1 to 3 are lost")) << joined(report);
    EXPECT_EQ(report.problems.size(), 1u) << joined(report);
}

TEST_F(CheckerTest, BrokenLinksAndCounts)
{
    RawStoreImage s = soundStore();
    s.setBlock(2, 7, 3, 500); // wrong previous link
    s.setBlock(3, 2, 0, 501); // used count beyond a block
    s.setBlock(6, 0, 0, 400); // record 3's single block now holds 400, fine
    const auto report = check(s);
    EXPECT_TRUE(mentions(report, "names block 7 as its previous block, not 1")) << joined(report);
    EXPECT_TRUE(mentions(report, "used count 501, outside 1 to 500")) << joined(report);

    RawStoreImage shortMiddle = soundStore();
    shortMiddle.setBlock(2, 1, 3, 499); // only the last block may be short
    EXPECT_TRUE(mentions(check(shortMiddle), "holds only 499 bytes but is not the last block"));

    RawStoreImage pastEnd = soundStore();
    pastEnd.setBlock(3, 2, 40, 500); // links beyond the file
    EXPECT_TRUE(mentions(check(pastEnd), "links to block 40, outside the file's 7 blocks"));

    RawStoreImage badReference = soundStore();
    badReference.records[2][8] = 9;
    EXPECT_TRUE(mentions(check(badReference), "refers to block 9, beyond the auxiliary file's 7 blocks"));
}

TEST_F(CheckerTest, UnsoundFreeLists)
{
    RawStoreImage miscounted = soundStore();
    miscounted.freeCount = 3;
    EXPECT_TRUE(mentions(check(miscounted), "the free list holds 2 blocks, the auxiliary header counts 3"));

    RawStoreImage usedFree = soundStore();
    usedFree.setBlock(4, 5, 0, 10); // a free block that still claims data
    const auto usedReport = check(usedFree);
    EXPECT_TRUE(mentions(usedReport, "free block 4 has used count 10, not 0")) << joined(usedReport);

    RawStoreImage dirtyFree = soundStore();
    dirtyFree.blocks[4][100] = 1; // zero used count but leftover data
    EXPECT_TRUE(mentions(check(dirtyFree), "free block 4 holds non-zero data"));

    RawStoreImage loop = soundStore();
    loop.setBlock(4, 5, 5, 0); // 5 -> 4 -> 5
    EXPECT_TRUE(mentions(check(loop), "the free list loops back to block 5"));

    RawStoreImage sharing = soundStore();
    sharing.setBlock(4, 5, 6, 0); // the free list runs into record 3's photo
    EXPECT_TRUE(mentions(check(sharing), "block 6 is on the free list and in the chain of record 3"));

    RawStoreImage staleHeadPrevious = soundStore();
    staleHeadPrevious.setBlock(5, 3, 4, 0); // the head's previous link is not relied on
    EXPECT_TRUE(check(staleHeadPrevious).problems.empty());
}

TEST_F(CheckerTest, RecordsAndCounts)
{
    RawStoreImage s = soundStore();
    s.addRecord(0, 4, 0, "Zero"); // a record without serial
    s.addRecord(2, 5, 0, "Dup");  // a serial given twice
    s.nextSerial = 3;             // below serial 3 of record 3
    const auto report = check(s);
    EXPECT_TRUE(mentions(report, "record 4 has status word 0")) << joined(report);
    EXPECT_TRUE(mentions(report, "record 5 has serial 2, not above the serial 3")) << joined(report);
    EXPECT_TRUE(mentions(report, "record 3 has serial 3, not below the next serial number 3")) << joined(report);

    RawStoreImage uncounted = soundStore();
    uncounted.recordCountOverride = 2; // the third record was written but never counted
    EXPECT_TRUE(mentions(check(uncounted), "the data file holds 28 bytes after its last counted record"));

    RawStoreImage overlapping = soundStore();
    overlapping.fields[2].offset = 6; // the name runs over 序号 and the photo reference
    const auto overlapReport = check(overlapping);
    EXPECT_TRUE(mentions(overlapReport, "field 1 (Num) and field 3 (Name) overlap")) << joined(overlapReport);
}

TEST_F(CheckerTest, StoreWithoutChainFieldsNeedsNoAuxiliaryFile)
{
    RawStoreImage s;
    s.fields = {{"Num", 3, 4, 0}, {"Name", 10, 8, 20}};
    s.addRecord(1, 1, 0, "");
    s.addRecord(0, 2, 0, "");
    s.nextSerial = 2;
    RawStoreImage::writeBytes(dir.file("plain.edb"), s.dataBytes()); // and no .EDT at all
    const auto report = checkStore(dir.file("plain.edb"));
    EXPECT_EQ(report.openResult, store::rc::kOk);
    EXPECT_EQ(report.problems, std::vector<std::string>{"record 2 has status word 0: no serial number"});
}

TEST_F(CheckerTest, AuxiliaryFileLongerThanItsBlockCount)
{
    RawStoreImage s = soundStore();
    s.write(dir.file("s"));
    auto aux = readBytes(dir.file("s.EDT"));
    aux.resize(aux.size() + 100, 0);
    RawStoreImage::writeBytes(dir.file("s.EDT"), aux);
    EXPECT_TRUE(mentions(checkStore(dir.file("s.edb")), "holds 100 bytes after its last counted block"));
}

TEST_F(CheckerTest, HeaderBytesThatAreAlwaysZero)
{
    const RawStoreImage s = soundStore();
    auto data = s.dataBytes();
    auto aux = s.auxBytes();
    data[9] = 1;                // reserved 8..15
    data[40] = data[41] = 0x20; // password check text of a store without password
    data[111] = 7;              // reserved 60..111
    data[116 + 4] = 'x';        // after the terminator of the first field's name "Num"
    data[116 + 72 + 40] = 1;    // reserved bytes of the second FieldDef
    aux[12] = 1;                // reserved 8..15
    aux[30] = 1;                // reserved 28..31
    aux[511] = 0xEE;            // the unused rest of block 0
    RawStoreImage::writeBytes(dir.file("z.edb"), data);
    RawStoreImage::writeBytes(dir.file("z.EDT"), aux);
    const auto report = checkStore(dir.file("z.edb"));
    ASSERT_EQ(report.openResult, store::rc::kOk);
    EXPECT_TRUE(mentions(report, "1 non-zero byte, the first at offset 9, in its reserved bytes 8 to 15"))
        << joined(report);
    EXPECT_TRUE(mentions(report, "2 non-zero bytes, the first at offset 40, in its password check text"));
    EXPECT_TRUE(mentions(report, "offset 111, in its reserved bytes 60 to 111"));
    EXPECT_TRUE(mentions(report, "field 1 (Num) holds 1 non-zero byte, the first at offset 120, after the end"));
    EXPECT_TRUE(mentions(report, "field 2 (Photo) holds 1 non-zero byte, the first at offset 228, in its reserved"));
    EXPECT_TRUE(mentions(report, "block 0 holds 1 non-zero byte, the first at offset 12, in its reserved bytes 8"));
    EXPECT_TRUE(mentions(report, "offset 30, in its reserved bytes 28 to 31"));
    EXPECT_TRUE(mentions(report, "offset 511, in its unused bytes 32 to 511 of block 0"));
    EXPECT_EQ(report.problems.size(), 8u) << joined(report);
}

TEST_F(CheckerTest, VersionAndFieldNames)
{
    RawStoreImage s = soundStore();
    s.version = 0; // opens, but no writer writes it
    EXPECT_TRUE(mentions(check(s), "the data file's header gives version 0x0"));

    s = soundStore();
    s.fields[0].name = "1st"; // a digit first
    EXPECT_TRUE(mentions(check(s), "field 1 (1st) has a name that breaks the field-name rule"));

    s = soundStore();
    s.fields[2].name = "NUM"; // letters compare without case
    const auto duplicate = check(s);
    EXPECT_TRUE(mentions(duplicate, "field 3 (NUM) has the same name as field 1")) << joined(duplicate);
    EXPECT_EQ(duplicate.problems.size(), 1u) << joined(duplicate);

    s = soundStore();
    s.fields[2].name = "\xD0\xD5\xC3\xFB_2"; // Chinese characters, the underline and a digit are fine
    EXPECT_TRUE(check(s).problems.empty());
    s.fields[2].name = "a.b";
    EXPECT_TRUE(mentions(check(s), "breaks the field-name rule"));
}

TEST_F(CheckerTest, RefusesWhatAReadOnlyOpenRefuses)
{
    EXPECT_EQ(checkStore(dir.file("missing.edb")).openResult, store::rc::kFileNotFound);

    RawStoreImage highVersion = soundStore();
    highVersion.version = 0x10001;
    EXPECT_EQ(check(highVersion).openResult, store::rc::kVersionTooHigh);

    RawStoreImage shortFile = soundStore();
    shortFile.recordCountOverride = 4; // one record more than the file holds
    EXPECT_EQ(check(shortFile).openResult, store::rc::kDataFileSize);

    RawStoreImage pastRecord = soundStore();
    pastRecord.fields[2].size = 17; // reaches one byte past the 28-byte record
    EXPECT_EQ(check(pastRecord).openResult, store::rc::kNotADataFile);

    RawStoreImage hugeFieldCount = soundStore();
    hugeFieldCount.write(dir.file("s"));
    patchInt32(dir.file("s.edb"), 112, 0x7FFFFFFF); // refused without allocating for it
    EXPECT_EQ(checkStore(dir.file("s.edb")).openResult, store::rc::kNotADataFile);

    RawStoreImage hugeRecords; // an empty store whose records would be 2 GB each
    hugeRecords.recordLength = 0x7FFFFFF0;
    const auto hugeReport = check(hugeRecords);
    EXPECT_EQ(hugeReport.openResult, store::rc::kOk);
    EXPECT_TRUE(hugeReport.problems.empty()) << joined(hugeReport);

    soundStore().write(dir.file("s"));
    patchInt32(dir.file("s.EDT"), 16, 8); // one block more than the file holds
    EXPECT_EQ(checkStore(dir.file("s.edb")).openResult, store::rc::kAuxDamaged);
    patchInt32(dir.file("s.EDT"), 16, 7);
    patchInt32(dir.file("s.EDT"), 4, 0x20000);
    EXPECT_EQ(checkStore(dir.file("s.edb")).openResult, store::rc::kAuxVersionMismatch);
    patchInt32(dir.file("s.EDT"), 0, 0x4C4C4548);
    EXPECT_EQ(checkStore(dir.file("s.edb")).openResult, store::rc::kAuxReadFailed);
}

TEST_F(CheckerTest, ChangesNoFile)
{
    RawStoreImage s = soundStore();
    s.recordCountOverride = 2; // what a writable open would cut
    s.setBlock(3, 2, 1, 500);  // and a loop
    s.write(dir.file("s"));
    const auto dataBefore = readBytes(dir.file("s.edb"));
    const auto auxBefore = readBytes(dir.file("s.EDT"));
    EXPECT_FALSE(checkStore(dir.file("s.edb")).problems.empty());
    EXPECT_EQ(readBytes(dir.file("s.edb")), dataBefore);
    EXPECT_EQ(readBytes(dir.file("s.EDT")), auxBefore);
}

} // namespace
} // namespace qr::tests
