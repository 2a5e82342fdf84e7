// The repair on stores written byte by byte and broken the way crashes and faulty
// writers break them: afterwards the checker finds nothing, and every record reads
// back through the engine with the fields and photo bytes it should have.
#include "store/check/consistency_check.h"
#include "store/check/repair.h"
#include "store/commands.h"
#include "tests/store/check/raw_store_image.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qr::tests {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A value of n bytes whose block k (0-based) is filled with seed + k, as chain()
// writes it.
Bytes valueBytes(std::int32_t n, std::uint8_t seed)
{
    Bytes v;
    for (std::int32_t k = 0; 500 * k < n; ++k)
        v.insert(v.end(), static_cast<std::size_t>(std::min(500, n - 500 * k)), static_cast<std::uint8_t>(seed + k));
    return v;
}

// Lays a value of n bytes into the given blocks, in this order.
std::int32_t chain(RawStoreImage& s, const std::vector<std::int32_t>& blocks, std::int32_t n, std::uint8_t seed)
{
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const auto used = std::min<std::int32_t>(500, n - 500 * static_cast<std::int32_t>(k));
        s.setBlock(blocks[k], k == 0 ? 0 : blocks[k - 1], k + 1 < blocks.size() ? blocks[k + 1] : 0, used,
                   static_cast<std::uint8_t>(seed + k));
    }
    return blocks.front();
}

// Ann with a 1200-byte photo in blocks 1 to 3, Bo (deleted) with none, Cy with 500
// bytes in block 6; blocks 4 and 5 free.
RawStoreImage soundStore()
{
    RawStoreImage s;
    chain(s, {1, 2, 3}, 1200, 0x10);
    chain(s, {6}, 500, 0x60);
    s.setFreeList({5, 4});
    s.addRecord(1, 1, 1, "Ann");
    s.addRecord(-2, 2, 0, "Bo");
    s.addRecord(3, 3, 6, "Cy");
    s.nextSerial = 4;
    return s;
}

struct Student {
    std::int32_t status;
    std::int32_t number;
    std::string name;
    Bytes photo;
    friend bool operator==(const Student&, const Student&) = default;
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
    return all;
}

bool mentions(const std::vector<std::string>& lines, const std::string& words)
{
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.find(words) != std::string::npos; });
}

class RepairTest : public ::testing::Test {
protected:
    std::string data() const { return dir.file("s.edb"); }
    std::string aux() const { return dir.file("s.EDT"); }

    store::RepairReport repair(const RawStoreImage& image)
    {
        image.write(dir.file("s"));
        return repairAsItStands();
    }
    store::RepairReport repairAsItStands()
    {
        store::RepairReport report = store::repairStore(data());
        EXPECT_EQ(report.openResult, store::rc::kOk);
        EXPECT_EQ(report.writeResult, store::rc::kOk);
        EXPECT_EQ(report.checkResult, store::rc::kOk);
        EXPECT_TRUE(report.unmended.empty()) << joined(report.unmended);
        const store::CheckReport check = store::checkStore(data());
        EXPECT_EQ(check.openResult, store::rc::kOk);
        EXPECT_TRUE(check.problems.empty()) << joined(check.problems);
        return report;
    }

    // Every record as the engine reads it.
    std::vector<Student> students()
    {
        std::vector<Student> all;
        store::OpenOptions readOnly;
        readOnly.readOnly = true;
        if (!store::openStore(data(), readOnly)) {
            ADD_FAILURE() << "open: " << store::lastError().value();
            return all;
        }
        const std::int32_t count = store::recordCount();
        for (std::int32_t r = 1; r <= count; ++r) {
            Student s{};
            EXPECT_TRUE(store::goToRecord(r));
            EXPECT_TRUE(store::readStatusWord(s.status));
            s.number = store::readField(1).asInteger();
            s.photo = store::readField(2).asByteSet();
            EXPECT_EQ(store::lastError(), store::rc::kOk) << "record " << r;
            s.name = store::readField(3).asText();
            all.push_back(s);
        }
        store::closeStore();
        return all;
    }

    std::vector<Student> soundStudents() const
    {
        return {{1, 1, "Ann", valueBytes(1200, 0x10)}, {-2, 2, "Bo", {}}, {3, 3, "Cy", valueBytes(500, 0x60)}};
    }

    TempDir dir;
};

TEST_F(RepairTest, SoundStoreIsLeftAsItIs)
{
    soundStore().write(dir.file("s"));
    const Bytes dataBefore = readBytes(data()), auxBefore = readBytes(aux());
    const auto report = repairAsItStands();
    EXPECT_TRUE(report.fixes.empty()) << joined(report.fixes);
    EXPECT_EQ(readBytes(data()), dataBefore);
    EXPECT_EQ(readBytes(aux()), auxBefore);
}

TEST_F(RepairTest, LostBlocksGoBackToTheFreeList)
{
    RawStoreImage s = soundStore();
    s.setFreeList({5}); // block 4 is on no list and in no chain
    const auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "block 4 was lost")) << joined(report.fixes);
    EXPECT_EQ(readInt32At(aux(), 16), 7);
    EXPECT_EQ(readInt32At(aux(), 20), 2);
    EXPECT_EQ(students(), soundStudents());
}

TEST_F(RepairTest, LostBlocksAtTheEndAreCutOffWithTheFreeOnesBeforeThem)
{
    RawStoreImage s = soundStore();
    s.records[2][8] = 0; // Cy forgets the photo in block 6, the file's last block
    const auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "block 6 was lost")) << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "block count goes from 7 to 4")) << joined(report.fixes);
    EXPECT_EQ(readInt32At(aux(), 16), 4);
    EXPECT_EQ(readInt32At(aux(), 20), 0);
    EXPECT_EQ(readBytes(aux()).size(), 4u * 512);
    auto expected = soundStudents();
    expected[2].photo.clear();
    EXPECT_EQ(students(), expected);
}

// What a pack cut off while it moved records down leaves: the last kept record a
// second time, same serial, same chain.
TEST_F(RepairTest, DoubledRecordGetsItsOwnChainAndSurvivesTheOthersPack)
{
    RawStoreImage s = soundStore();
    s.records.push_back(s.records[2]);
    const auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "record 4 (serial 4) field 2 (Photo) shared block 6 with record 3 (serial 3)"))
        << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "record 4 had serial 3")) << joined(report.fixes);
    EXPECT_EQ(report.notes.size(), 1u);
    EXPECT_TRUE(mentions(report.notes, "record 4 is an exact copy of record 3")) << joined(report.notes);
    auto expected = soundStudents();
    expected.push_back({4, 3, "Cy", valueBytes(500, 0x60)});
    EXPECT_EQ(students(), expected);
    EXPECT_EQ(readInt32At(data(), 20), 5); // next serial above the new one

    // The teacher deletes the original and packs, then adds a student with a photo
    // that takes the freed blocks: the copy keeps its own photo.
    ASSERT_TRUE(store::openStore(data()));
    ASSERT_TRUE(store::goToRecord(3));
    ASSERT_TRUE(store::deleteRecord());
    ASSERT_TRUE(store::pack());
    const Bytes newcomer(1000, 0xEE);
    ASSERT_TRUE(store::addRecord(std::vector<store::Value>{store::Value::integer(9), store::Value::byteSet(newcomer),
                                                           store::Value::text("Di")}));
    store::closeStore();
    EXPECT_TRUE(store::checkStore(data()).problems.empty());
    const auto after = students();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1], (Student{4, 3, "Cy", valueBytes(500, 0x60)}));
    EXPECT_EQ(after[2].photo, newcomer);
}

TEST_F(RepairTest, ChainRunningIntoAnothersGetsCopiesOfTheSharedBlocks)
{
    RawStoreImage s = soundStore();
    s.setBlock(6, 0, 2, 500, 0x60); // Cy's block 6 runs on into Ann's blocks 2 and 3
    const auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "shared blocks 2 to 3 with record 1 (serial 1)")) << joined(report.fixes);
    auto expected = soundStudents();
    Bytes cy = valueBytes(500, 0x60);
    const Bytes annTail = valueBytes(1200, 0x10);
    cy.insert(cy.end(), annTail.begin() + 500, annTail.end());
    expected[2].photo = cy; // what the record read as, now in blocks of its own
    EXPECT_EQ(students(), expected);
}

TEST_F(RepairTest, BrokenChainsAreCutAtTheLastSoundBlockOrCleared)
{
    RawStoreImage loop = soundStore();
    loop.setBlock(3, 2, 1, 200, 0x12); // Ann's last block links back to her first
    auto report = repair(loop);
    EXPECT_TRUE(mentions(report.fixes, "record 1 (serial 1) field 2 (Photo): the chain is broken (block 3 links back "
                                       "to block 1, a loop); kept the first 1200 bytes"))
        << joined(report.fixes);
    EXPECT_EQ(students(), soundStudents());

    RawStoreImage outside = soundStore();
    outside.setBlock(2, 1, 40, 500, 0x11); // Ann's second block links past the file
    report = repair(outside);
    EXPECT_TRUE(mentions(report.fixes, "block 2 links to block 40, outside the file's 7 blocks"))
        << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "block 3 was lost")) << joined(report.fixes);
    auto expected = soundStudents();
    expected[0].photo = valueBytes(1000, 0x10);
    EXPECT_EQ(students(), expected);

    RawStoreImage badUsed = soundStore();
    badUsed.setBlock(6, 0, 0, 600, 0x60); // Cy's only block claims more than a block holds
    report = repair(badUsed);
    EXPECT_TRUE(mentions(report.fixes, "record 3 (serial 3) field 2 (Photo): the chain is broken (block 6 has used "
                                       "count 600, outside 1 to 500); nothing of it could be kept"))
        << joined(report.fixes);
    expected = soundStudents();
    expected[2].photo.clear();
    EXPECT_EQ(students(), expected);

    RawStoreImage badReference = soundStore();
    badReference.records[2][8] = 99;
    report = repair(badReference);
    EXPECT_TRUE(mentions(report.fixes, "its reference to block 99 lies outside")) << joined(report.fixes);
    EXPECT_EQ(students(), expected);
}

TEST_F(RepairTest, MisshapenChainsAreRewrittenWithTheSameBytes)
{
    RawStoreImage s = soundStore();
    s.setBlock(2, 7, 3, 500, 0x11); // a wrong previous link
    s.setBlock(6, 0, 0, 250, 0x60); // Cy's block holds 250 bytes, then a stray one
    s.blocks[6][12 + 400] = 0x33;
    auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "names block 7 as its previous block")) << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "stray bytes after its data")) << joined(report.fixes);
    auto expected = soundStudents();
    expected[2].photo = valueBytes(250, 0x60);
    EXPECT_EQ(students(), expected);

    RawStoreImage shortMiddle = soundStore();
    shortMiddle.setBlock(1, 0, 2, 300, 0x10); // Ann's first block is short but not her last
    report = repair(shortMiddle);
    EXPECT_TRUE(mentions(report.fixes, "rewritten with the same 1000 bytes")) << joined(report.fixes);
    expected = soundStudents();
    Bytes ann = valueBytes(300, 0x10);
    const Bytes rest = valueBytes(1200, 0x10);
    ann.insert(ann.end(), rest.begin() + 500, rest.end());
    expected[0].photo = ann;
    EXPECT_EQ(students(), expected);
}

TEST_F(RepairTest, FilesLongerThanTheirHeadersSayAreCut)
{
    RawStoreImage s = soundStore();
    s.write(dir.file("s"));
    Bytes d = readBytes(data());
    d.insert(d.end(), s.records[0].begin(), s.records[0].end()); // an uncounted record
    d.insert(d.end(), 5, 0x77);                                  // and part of one more
    RawStoreImage::writeBytes(data(), d);
    Bytes a = readBytes(aux());
    a.insert(a.end(), 700, 0x44); // a block and a part, never counted
    RawStoreImage::writeBytes(aux(), a);
    const auto report = repairAsItStands();
    EXPECT_TRUE(mentions(report.fixes, "the data file held 33 bytes after its last counted record"))
        << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "the auxiliary file held 700 bytes after its last counted block"))
        << joined(report.fixes);
    EXPECT_EQ(readBytes(data()).size(), d.size() - 33);
    EXPECT_EQ(readBytes(aux()).size(), 7u * 512);
    EXPECT_EQ(students(), soundStudents());
}

TEST_F(RepairTest, BlocksPastTheCountThatAChainUsesAreKept)
{
    // A changed record's chain grew into new blocks at the end, and the header that
    // would count them was never written.
    RawStoreImage s = soundStore();
    chain(s, {6, 7, 8}, 1400, 0x60);
    s.write(dir.file("s"));
    patchInt32(aux(), 16, 7);
    const auto report = repairAsItStands();
    EXPECT_TRUE(mentions(report.fixes, "block count goes from 7 to 9")) << joined(report.fixes);
    auto expected = soundStudents();
    expected[2].photo = valueBytes(1400, 0x60);
    EXPECT_EQ(students(), expected);
}

TEST_F(RepairTest, CountsAndSerialNumbersAreCorrected)
{
    RawStoreImage s = soundStore();
    s.nextSerial = 2;            // below serial 3 of Cy
    s.recordCountOverride = 5;   // two records more than the file holds
    s.addRecord(0, 7, 0, "Ed");  // a record without serial ...
    s.records.back().resize(20); // ... cut short: the file holds 3 whole records
    const auto report = repair(s);
    EXPECT_TRUE(mentions(report.fixes, "the header counted 5 records but the data file holds only 3"))
        << joined(report.fixes);
    EXPECT_TRUE(mentions(report.fixes, "the next serial number was 2, not above the highest serial 3: now 4"))
        << joined(report.fixes);
    EXPECT_EQ(students(), soundStudents());

    RawStoreImage unnumbered = soundStore();
    unnumbered.addRecord(0, 7, 0, "Ed");
    unnumbered.addRecord(2, 8, 0, "Fay"); // a serial going back
    const auto renumbered = repair(unnumbered);
    EXPECT_TRUE(mentions(renumbered.fixes, "records 4 to 5 had serials 0 ... 2")) << joined(renumbered.fixes);
    auto expected = soundStudents();
    expected.push_back({4, 7, "Ed", {}});
    expected.push_back({5, 8, "Fay", {}});
    EXPECT_EQ(students(), expected);
    EXPECT_EQ(readInt32At(data(), 20), 6);
}

TEST_F(RepairTest, UnreadableStoresAreLeftAlone)
{
    EXPECT_EQ(store::repairStore(dir.file("missing.edb")).openResult, store::rc::kFileNotFound);
    RawStoreImage s = soundStore();
    s.write(dir.file("s"));
    patchInt32(aux(), 0, 0x4C4C4548); // not an auxiliary file
    const Bytes before = readBytes(data());
    const auto report = store::repairStore(data());
    EXPECT_EQ(report.openResult, store::rc::kAuxReadFailed);
    EXPECT_TRUE(report.fixes.empty());
    EXPECT_EQ(readBytes(data()), before);
}

} // namespace
} // namespace qr::tests
