// Writes that fail part-way: the auxiliary file stays consistent (no block in two
// chains, the free list as counted) and every record keeps either an empty value or
// a chain that reads back whole; pack never drops records it did not walk.
#include "fault_env.h"
#include "store_test_support.h"

#include <set>

namespace qr::store::testing {
namespace {

constexpr std::size_t kDataStart = 116 + 72; // one byte-set field, record length 8
constexpr std::size_t kRecord = 8;

// Problems of the files on disk, one line each.
std::vector<std::string> inconsistencies(const Bytes& data, const Bytes& aux)
{
    std::vector<std::string> problems;
    const std::int32_t count = i32At(data, 16);
    const std::int32_t blockCount = i32At(aux, 16);
    const std::int32_t freeCount = i32At(aux, 20);
    if (static_cast<std::size_t>(blockCount) * 512 > aux.size())
        problems.push_back("block count beyond the file");
    std::set<std::int32_t> seen;
    auto visit = [&](std::int32_t b, const std::string& owner) {
        if (b < 1 || b >= blockCount || !seen.insert(b).second) {
            problems.push_back(owner + " reaches block " + std::to_string(b) + " out of range or a second time");
            return false;
        }
        return true;
    };
    for (std::int32_t r = 0; r < count; ++r) {
        for (std::int32_t b = i32At(data, kDataStart + r * kRecord + 4); b > 0; b = i32At(aux, b * 512 + 4)) {
            if (!visit(b, "record " + std::to_string(r + 1)))
                break;
            const std::int32_t used = i32At(aux, b * 512 + 8);
            if (used < 1 || used > 500)
                problems.push_back("chain block " + std::to_string(b) + " used " + std::to_string(used));
        }
    }
    std::int32_t listed = 0;
    for (std::int32_t b = i32At(aux, 24); b > 0; b = i32At(aux, b * 512 + 4)) {
        if (!visit(b, "free list"))
            break;
        if (i32At(aux, b * 512 + 8) != 0)
            problems.push_back("free block " + std::to_string(b) + " in use");
        ++listed;
    }
    if (listed != freeCount)
        problems.push_back("free count " + std::to_string(freeCount) + " but " + std::to_string(listed) + " listed");
    return problems;
}

class Faults : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        create("f.edb", {{"照片", FieldType::ByteSet, 0}});
        setStoreEnv(&env_);
        ASSERT_TRUE(open("f.edb"));
    }
    bool addBytes(std::size_t size, std::uint8_t seed) { return add({Value::byteSet(pattern(size, seed))}); }
    bool changeBytes(std::int32_t record, std::size_t size, std::uint8_t seed)
    {
        EXPECT_TRUE(goToRecord(record));
        const Value values[] = {Value::byteSet(pattern(size, seed))};
        return changeRecord(values);
    }
    Value photo(std::int32_t record)
    {
        EXPECT_TRUE(goToRecord(record));
        return readField(1);
    }
    std::vector<std::string> problems() { return inconsistencies(readBytes("f.edb"), readBytes("f.EDT")); }
    std::int32_t auxHeader(std::size_t offset) { return i32At(readBytes("f.EDT"), offset); }

    FaultEnv env_;
};

TEST_F(Faults, AddWhoseChainFailsKeepsTheRecordWithAnEmptyValue)
{
    ASSERT_TRUE(addBytes(1000, 1));    // blocks 1, 2
    ASSERT_TRUE(addBytes(100, 2));     // block 3
    ASSERT_TRUE(changeBytes(1, 0, 0)); // free list: 1, 2
    // The file grows for two new blocks, the header and the reused free blocks 1
    // and 2 go out, then the disk is full for the new blocks 4 and 5.
    env_.failWritesAfter(".EDT", 3, 1);
    EXPECT_FALSE(addBytes(2000, 3));
    EXPECT_EQ(lastError(), rc::kDiskFull);
    EXPECT_EQ(recordCount(), 3); // the record is appended all the same
    EXPECT_EQ(photo(3), Value::byteSet({}));
    EXPECT_EQ(problems(), std::vector<std::string>{});
    // The blocks taken for it went back: free list 1, 2 again, end blocks trimmed.
    EXPECT_EQ(auxHeader(16), 4);
    EXPECT_EQ(auxHeader(20), 2);

    ASSERT_TRUE(addBytes(2000, 4));
    EXPECT_EQ(photo(4), Value::byteSet(pattern(2000, 4)));
    EXPECT_EQ(photo(2), Value::byteSet(pattern(100, 2)));
    EXPECT_EQ(problems(), std::vector<std::string>{});
}

TEST_F(Faults, FullDiskLosesBlocksButNeverListsAUsedBlockAsFree)
{
    ASSERT_TRUE(addBytes(1000, 1));
    ASSERT_TRUE(addBytes(100, 2));
    ASSERT_TRUE(changeBytes(1, 0, 0));
    env_.failWritesAfter(".EDT", 3); // and every write after
    EXPECT_FALSE(addBytes(2000, 3));
    EXPECT_EQ(problems(), std::vector<std::string>{});
    EXPECT_EQ(photo(3), Value::byteSet({}));
    env_.disarm();
    ASSERT_TRUE(addBytes(1200, 5));
    EXPECT_EQ(photo(4), Value::byteSet(pattern(1200, 5)));
    EXPECT_EQ(photo(2), Value::byteSet(pattern(100, 2)));
    EXPECT_EQ(problems(), std::vector<std::string>{});
}

TEST_F(Faults, RewriteFailingAfterItsFirstBlockLeavesAnEmptyValue)
{
    ASSERT_TRUE(addBytes(1500, 1));     // blocks 1, 2, 3
    ASSERT_TRUE(addBytes(10, 2));       // block 4
    env_.failWritesAfter(".EDT", 3, 1); // growth, header, block 1, then block 2 fails
    EXPECT_FALSE(changeBytes(1, 1800, 3));
    EXPECT_EQ(lastError(), rc::kDiskFull);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kOk);
    EXPECT_EQ(photo(2), Value::byteSet(pattern(10, 2)));
    EXPECT_EQ(problems(), std::vector<std::string>{});
    EXPECT_EQ(auxHeader(20), 3); // 1, 2, 3 free again; 5 trimmed
    EXPECT_EQ(auxHeader(16), 5);
}

TEST_F(Faults, RewriteFailingAtItsFirstBlockKeepsTheOldValue)
{
    ASSERT_TRUE(addBytes(1500, 1));
    env_.failWritesAfter(".EDT", 2, 1); // growth, header, then block 1 fails
    EXPECT_FALSE(changeBytes(1, 1800, 3));
    EXPECT_EQ(photo(1), Value::byteSet(pattern(1500, 1)));
    EXPECT_EQ(problems(), std::vector<std::string>{});
    EXPECT_EQ(auxHeader(16), 4);
}

TEST_F(Faults, AddWhoseRecordCannotBeWrittenGivesItsBlocksBack)
{
    ASSERT_TRUE(addBytes(10, 1));
    env_.failWritesAfter("f.edb", 0, 1);
    EXPECT_FALSE(addBytes(1200, 2));
    EXPECT_EQ(lastError(), rc::kDiskFull);
    EXPECT_EQ(recordCount(), 1);
    EXPECT_EQ(readBytes("f.edb").size(), kDataStart + kRecord);
    EXPECT_EQ(auxHeader(16), 2); // blocks 2 to 4 freed and trimmed
    EXPECT_EQ(problems(), std::vector<std::string>{});
}

TEST_F(Faults, ChangeWhoseRecordCannotBeWrittenFreesNothingItStillUses)
{
    ASSERT_TRUE(addBytes(1200, 1)); // blocks 1, 2, 3
    env_.failWritesAfter("f.edb", 0, 1);
    EXPECT_FALSE(changeBytes(1, 0, 0)); // the record keeps its reference
    EXPECT_EQ(problems(), std::vector<std::string>{});
    EXPECT_EQ(auxHeader(20), 0);
}

TEST_F(Faults, PackThatCannotReadABatchKeepsTheRecordsNotWalked)
{
    closeStore((dir_ / "f.edb").string());
    create("w.edb", {{"号", FieldType::Integer, 0}, {"名", FieldType::Text, 40000}});
    ASSERT_TRUE(open("w.edb"));
    constexpr std::size_t R = 40008, start = 116 + 2 * 72;
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(add({Value::integer(i), Value::text("n" + std::to_string(i))}));
    ASSERT_TRUE(goToRecord(2));
    ASSERT_TRUE(deleteRecord());
    ASSERT_TRUE(goToRecord(3));
    ASSERT_TRUE(deleteRecord());
    // Another program cuts the file to six and a half records meanwhile.
    std::filesystem::resize_file("w.edb", start + 6 * R + R / 2);

    EXPECT_FALSE(pack()); // the second batch of four cannot be read
    EXPECT_EQ(lastError(), rc::kRecordReadFailed);
    const Bytes file = readBytes("w.edb");
    EXPECT_EQ(i32At(file, 16), 8); // lowered only by the two removed
    std::vector<std::int32_t> serials;
    for (std::size_t r = 0; (r + 1) * R + start <= file.size(); ++r)
        serials.push_back(i32At(file, start + r * R));
    EXPECT_EQ(serials, (std::vector<std::int32_t>{1, 4, 5, 6}));
    EXPECT_EQ(file.size(), start + 4 * R + R / 2);
}

TEST_F(Faults, PackWhoseBatchWriteFailsOnceKeepsEveryRecordOnce)
{
    closeStore((dir_ / "f.edb").string());
    create("w.edb", {{"号", FieldType::Integer, 0}, {"名", FieldType::Text, 40000}});
    ASSERT_TRUE(open("w.edb"));
    constexpr std::size_t R = 40008, start = 116 + 2 * 72;
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(add({Value::integer(i), Value::text("n" + std::to_string(i))}));
    ASSERT_TRUE(goToRecord(2));
    ASSERT_TRUE(deleteRecord());
    ASSERT_TRUE(goToRecord(7));
    ASSERT_TRUE(deleteRecord());
    env_.failWritesAfter("w.edb", 1, 1); // the second batch's write fails

    EXPECT_FALSE(pack());
    EXPECT_EQ(lastError(), rc::kDiskFull);
    const Bytes file = readBytes("w.edb");
    EXPECT_EQ(i32At(file, 16), 9);
    ASSERT_EQ(file.size(), start + 9 * R);
    std::vector<std::int32_t> serials;
    for (std::size_t r = 0; r < 9; ++r)
        serials.push_back(i32At(file, start + r * R));
    EXPECT_EQ(serials, (std::vector<std::int32_t>{1, 3, 4, 5, 6, -7, 8, 9, 10}));
    ASSERT_TRUE(pack());
    EXPECT_EQ(recordCount(), 8);
}

} // namespace
} // namespace qr::store::testing
