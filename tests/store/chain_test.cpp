// Chains of blocks in the auxiliary file, checked block by block in the raw file.
#include "store_test_support.h"

namespace qr::store::testing {
namespace {

// Fields 照片 (byte set) and 备注 (memo): record length 12, data start 260.
constexpr std::size_t kDataStart = 260;
constexpr std::size_t kRecord = 12;

struct Block {
    std::int32_t previous, next, used;
};

class Chains : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        create("c.edb", {{"照片", FieldType::ByteSet, 0}, {"备注", FieldType::Memo, 0}});
        ASSERT_TRUE(open("c.edb"));
    }
    bool addBytes(std::size_t size, std::uint8_t seed = 1) { return add({Value::byteSet(pattern(size, seed))}); }
    bool changeBytes(std::int32_t record, std::size_t size, std::uint8_t seed = 2)
    {
        EXPECT_TRUE(goToRecord(record));
        const Value values[] = {Value::byteSet(pattern(size, seed))};
        return changeRecord(values);
    }
    Bytes aux() { return readBytes("c.EDT"); }
    static Block block(const Bytes& a, std::int32_t n)
    {
        return {i32At(a, n * 512), i32At(a, n * 512 + 4), i32At(a, n * 512 + 8)};
    }
    std::int32_t reference(std::int32_t record)
    {
        return i32At(readBytes("c.edb"), kDataStart + (record - 1) * kRecord + 4);
    }
    Value photo(std::int32_t record)
    {
        EXPECT_TRUE(goToRecord(record));
        return readField(Value::text("照片"));
    }
    // Block count, free count, free head.
    std::array<std::int32_t, 3> header()
    {
        const Bytes a = aux();
        return {i32At(a, 16), i32At(a, 20), i32At(a, 24)};
    }
};

TEST_F(Chains, EmptyValuesUseNoBlocks)
{
    ASSERT_TRUE(add({Value::byteSet({}), Value::text("")}));
    EXPECT_EQ(reference(1), 0);
    EXPECT_EQ(aux().size(), 512u);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(readField(2), Value::text(""));
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Chains, ValuesFillBlocksOfFiveHundredBytes)
{
    ASSERT_TRUE(addBytes(500));
    ASSERT_TRUE(addBytes(501, 9));
    const Bytes a = aux();
    ASSERT_EQ(a.size(), 4u * 512);
    EXPECT_EQ(reference(1), 1);
    EXPECT_EQ(reference(2), 2);
    EXPECT_EQ(block(a, 1).used, 500);
    EXPECT_EQ(block(a, 1).next, 0);
    EXPECT_EQ(block(a, 2).previous, 0);
    EXPECT_EQ(block(a, 2).next, 3);
    EXPECT_EQ(block(a, 2).used, 500);
    EXPECT_EQ(block(a, 3).previous, 2);
    EXPECT_EQ(block(a, 3).next, 0);
    EXPECT_EQ(block(a, 3).used, 1);
    // Unused data bytes are zero.
    for (std::size_t i = 3 * 512 + 13; i < 4 * 512; ++i)
        ASSERT_EQ(a[i], 0) << i;
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{4, 0, 0}));
    EXPECT_EQ(photo(2), Value::byteSet(pattern(501, 9)));
}

TEST_F(Chains, MemoKeepsTextWithoutTerminator)
{
    const std::string text(1200, 'm');
    ASSERT_TRUE(add({Value(), Value::text(text + "尾")}));
    EXPECT_EQ(readField(Value::text("备注")), Value::text(text + "尾"));
    EXPECT_EQ(block(aux(), 3).used, 202);
}

TEST_F(Chains, MemoEndsAtItsFirstZeroByte)
{
    // Another writer may leave a zero inside the chain: the text stops there, even
    // when the zero is in a later block.
    std::string stored(700, 'a');
    stored[600] = '\0';
    ASSERT_TRUE(add({Value(), Value::text(stored)}));
    ASSERT_EQ(block(aux(), 2).used, 200);
    EXPECT_EQ(readField(Value::text("备注")), Value::text(std::string(600, 'a')));
    EXPECT_EQ(lastError(), rc::kOk);

    ASSERT_TRUE(add({Value(), Value::text(std::string("\0tail", 5))}));
    EXPECT_EQ(readField(2), Value::text(""));
}

TEST_F(Chains, ShorterRewriteKeepsFirstBlockAndTrimsTheRest)
{
    ASSERT_TRUE(addBytes(1500)); // blocks 1, 2, 3
    ASSERT_EQ(aux().size(), 4u * 512);
    ASSERT_TRUE(changeBytes(1, 10));
    EXPECT_EQ(reference(1), 1);
    const Bytes a = aux();
    EXPECT_EQ(a.size(), 2u * 512); // shrunk by 1024
    EXPECT_EQ(block(a, 1).used, 10);
    EXPECT_EQ(block(a, 1).next, 0);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{2, 0, 0}));
    EXPECT_EQ(photo(1), Value::byteSet(pattern(10, 2)));
}

TEST_F(Chains, FreedBlocksAreReusedBeforeTheFileGrows)
{
    ASSERT_TRUE(addBytes(100));  // record 1: block 1
    ASSERT_TRUE(addBytes(1000)); // record 2: blocks 2, 3
    ASSERT_TRUE(addBytes(100));  // record 3: block 4
    ASSERT_TRUE(changeBytes(2, 0));
    EXPECT_EQ(reference(2), 0);
    Bytes a = aux();
    EXPECT_EQ(a.size(), 5u * 512); // block 4 is still in use
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{5, 2, 2}));
    EXPECT_EQ(block(a, 2).previous, 0);
    EXPECT_EQ(block(a, 2).next, 3);
    EXPECT_EQ(block(a, 2).used, 0);
    EXPECT_EQ(block(a, 3).previous, 2);
    EXPECT_EQ(block(a, 3).next, 0);
    for (std::size_t blockStart : {2 * 512u, 3 * 512u})
        for (std::size_t i = blockStart + 12; i < blockStart + 512; ++i)
            ASSERT_EQ(a[i], 0) << "freed data is zeroed at " << i;

    // Three blocks: both free ones in list order, then a new one at the end.
    ASSERT_TRUE(addBytes(1400, 5));
    EXPECT_EQ(reference(4), 2);
    a = aux();
    EXPECT_EQ(block(a, 2).next, 3);
    EXPECT_EQ(block(a, 3).next, 5);
    EXPECT_EQ(block(a, 5).previous, 3);
    EXPECT_EQ(block(a, 5).used, 400);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{6, 0, 0}));
    EXPECT_EQ(photo(4), Value::byteSet(pattern(1400, 5)));
    EXPECT_EQ(photo(3), Value::byteSet(pattern(100, 1)));
}

TEST_F(Chains, LongerRewriteKeepsItsBlockNumbers)
{
    ASSERT_TRUE(addBytes(600)); // blocks 1, 2
    ASSERT_TRUE(addBytes(10));  // block 3
    ASSERT_TRUE(changeBytes(1, 1600, 7));
    EXPECT_EQ(reference(1), 1);
    const Bytes a = aux();
    EXPECT_EQ(block(a, 1).next, 2);
    EXPECT_EQ(block(a, 2).next, 4);
    EXPECT_EQ(block(a, 4).next, 5);
    EXPECT_EQ(block(a, 5).used, 100);
    EXPECT_EQ(photo(1), Value::byteSet(pattern(1600, 7)));
    EXPECT_EQ(photo(2), Value::byteSet(pattern(10, 1)));
}

TEST_F(Chains, TrimRemovesEveryTrailingFreeBlock)
{
    ASSERT_TRUE(addBytes(100));  // block 1
    ASSERT_TRUE(addBytes(1000)); // blocks 2, 3
    ASSERT_TRUE(addBytes(1000)); // blocks 4, 5
    ASSERT_TRUE(changeBytes(2, 0));
    ASSERT_EQ(header(), (std::array<std::int32_t, 3>{6, 2, 2}));
    ASSERT_TRUE(changeBytes(3, 0));
    EXPECT_EQ(aux().size(), 2u * 512);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{2, 0, 0}));
    EXPECT_EQ(photo(1), Value::byteSet(pattern(100, 1)));
}

TEST_F(Chains, TrimStopsAtABlockInUseAndRelinksTheList)
{
    ASSERT_TRUE(addBytes(100));     // block 1
    ASSERT_TRUE(addBytes(100));     // block 2
    ASSERT_TRUE(addBytes(100));     // block 3
    ASSERT_TRUE(addBytes(100));     // block 4
    ASSERT_TRUE(changeBytes(1, 0)); // free: 1
    ASSERT_TRUE(changeBytes(3, 0)); // free: 3, 1
    ASSERT_TRUE(changeBytes(4, 0)); // free: 4, 3, 1 -> 4 and 3 trimmed
    const Bytes a = aux();
    EXPECT_EQ(a.size(), 3u * 512);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{3, 1, 1}));
    EXPECT_EQ(block(a, 1).next, 0);
    EXPECT_EQ(block(a, 1).used, 0);
    EXPECT_EQ(photo(2), Value::byteSet(pattern(100, 1)));
}

TEST_F(Chains, PackFreesChainsOfRemovedRecords)
{
    ASSERT_TRUE(addBytes(700, 1)); // blocks 1, 2
    ASSERT_TRUE(addBytes(700, 2)); // blocks 3, 4
    ASSERT_TRUE(addBytes(100, 3)); // block 5
    ASSERT_TRUE(goToRecord(2));
    ASSERT_TRUE(deleteRecord());
    ASSERT_TRUE(pack());
    EXPECT_EQ(recordCount(), 2);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{6, 2, 3}));
    EXPECT_EQ(photo(2), Value::byteSet(pattern(100, 3)));
    ASSERT_TRUE(clearStore());
    EXPECT_EQ(aux().size(), 512u);
    EXPECT_EQ(header(), (std::array<std::int32_t, 3>{1, 0, 0}));
}

TEST_F(Chains, LoopingOrOverlongChainsFailWithoutHanging)
{
    ASSERT_TRUE(addBytes(1000)); // blocks 1, 2
    Bytes a = aux();
    putI32At(a, 2 * 512 + 4, 1); // 2 leads back to 1
    writeBytes("c.EDT", a);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
    // Rewriting or freeing it must not take blocks of a damaged chain into use.
    EXPECT_FALSE(changeBytes(1, 100));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
    EXPECT_EQ(aux(), a);

    putI32At(a, 2 * 512 + 4, 2); // 2 leads to itself
    writeBytes("c.EDT", a);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
}

TEST_F(Chains, AReferenceIntoAnotherChainIsNeitherRewrittenNorFreed)
{
    ASSERT_TRUE(addBytes(1000, 1)); // blocks 1, 2
    ASSERT_TRUE(addBytes(10, 2));   // block 3
    Bytes d = readBytes("c.edb");
    putI32At(d, kDataStart + kRecord + 4, 2); // record 2 now points into record 1's chain
    writeBytes("c.edb", d);
    const Bytes before = aux();
    EXPECT_FALSE(changeBytes(2, 0));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
    EXPECT_FALSE(changeBytes(2, 50));
    EXPECT_EQ(aux(), before);
    EXPECT_EQ(photo(1), Value::byteSet(pattern(1000, 1)));
}

TEST_F(Chains, UsedCountAboveFiveHundredIsRefused)
{
    ASSERT_TRUE(addBytes(300));
    Bytes a = aux();
    putI32At(a, 512 + 8, 501);
    writeBytes("c.EDT", a);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
    putI32At(a, 512 + 8, -1);
    writeBytes("c.EDT", a);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
}

TEST_F(Chains, ReferencesPastTheFileFailAndNonPositiveOnesReadEmpty)
{
    ASSERT_TRUE(addBytes(10));
    Bytes d = readBytes("c.edb");
    putI32At(d, kDataStart + 4, 40);
    writeBytes("c.edb", d);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kAuxAccessFailed);
    putI32At(d, kDataStart + 4, -3);
    writeBytes("c.edb", d);
    EXPECT_EQ(photo(1), Value::byteSet({}));
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Chains, AFreeCountWithoutAListNeverHandsOutBlockZero)
{
    ASSERT_TRUE(addBytes(10));
    Bytes a = aux();
    putI32At(a, 20, 1); // one free block claimed, but the list is empty
    writeBytes("c.EDT", a);
    ASSERT_TRUE(addBytes(10, 4));
    EXPECT_EQ(reference(2), 2);
    EXPECT_EQ(i32At(aux(), 0), 0x54444557); // header block untouched
    EXPECT_EQ(photo(2), Value::byteSet(pattern(10, 4)));
}

} // namespace
} // namespace qr::store::testing
