// Find and conditional delete: conditions that read the record under test, and the
// batches that pack and conditional delete move records in.
#include "store_test_support.h"

namespace qr::store::testing {
namespace {

class Conditions : public StoreTest {
protected:
    // Records 1..n with 号 = i and 名 = "n<i>"; with wide = true a record is 40008
    // bytes, so that a batch holds four of them.
    void makeStore(int n, bool wide = false)
    {
        create("f.edb", {{"号", FieldType::Integer, 0}, {"名", FieldType::Text, wide ? 40000 : 8}});
        ASSERT_TRUE(open("f.edb"));
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(add({Value::integer(i), Value::text("n" + std::to_string(i))}));
    }
    static SubStatement numberIs(std::function<bool(std::int32_t)> test)
    {
        return [test] { return Value::logical(test(readField(Value::text("号")).asInteger())); };
    }
    std::vector<std::int32_t> statusWords()
    {
        std::vector<std::int32_t> words;
        for (std::int32_t r = 1; r <= recordCount(); ++r) {
            std::int32_t status = 0;
            EXPECT_TRUE(goToRecord(r));
            EXPECT_TRUE(readStatusWord(status));
            words.push_back(status);
        }
        return words;
    }
};

TEST_F(Conditions, FindStartsAtTheCurrentRecordAndMovesToTheMatch)
{
    makeStore(6);
    ASSERT_TRUE(goToRecord(1));
    EXPECT_TRUE(find(numberIs([](std::int32_t v) { return v % 2 == 0; })));
    EXPECT_EQ(readField(1), Value::integer(2));
    // From the found record, the same condition finds it again.
    EXPECT_TRUE(find(numberIs([](std::int32_t v) { return v % 2 == 0; })));
    EXPECT_EQ(readField(1), Value::integer(2));
    ASSERT_TRUE(goToRecord(3));
    EXPECT_TRUE(find(numberIs([](std::int32_t v) { return v % 2 == 0; })));
    EXPECT_EQ(readField(1), Value::integer(4));

    // Not found: false with code 0, and the current record stays.
    EXPECT_FALSE(find(numberIs([](std::int32_t v) { return v > 100; })));
    EXPECT_EQ(lastError(), rc::kOk);
    EXPECT_EQ(readField(1), Value::integer(4));
    EXPECT_TRUE(find(true));
    EXPECT_EQ(readField(1), Value::integer(4));
    EXPECT_FALSE(find(false));
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Conditions, FindTestsDeletedRecordsAndSeesTextFields)
{
    makeStore(4);
    ASSERT_TRUE(goToRecord(3));
    ASSERT_TRUE(deleteRecord());
    ASSERT_TRUE(goToRecord(1));
    EXPECT_TRUE(find(SubStatement([] { return Value::logical(readField(2) == Value::text("n3")); })));
    EXPECT_EQ(readField(1), Value::integer(3));
}

TEST_F(Conditions, FindBeyondTheLastRecordFindsNothing)
{
    makeStore(3);
    ASSERT_TRUE(goToRecord(3));
    // Another program drops the last record meanwhile; the count is read afresh.
    Bytes header = readBytes("f.edb");
    putI32At(header, 16, 2);
    writeBytes("f.edb", header);
    EXPECT_FALSE(find(true));
    EXPECT_EQ(lastError(), rc::kOk);
    ASSERT_TRUE(clearStore()); // current record 0 of an empty store
    EXPECT_FALSE(find(true));
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Conditions, ConditionalDeleteMarksMatchesAndKeepsTheCurrentRecord)
{
    makeStore(10, true); // three batches
    ASSERT_TRUE(goToRecord(6));
    ASSERT_TRUE(deleteRecord());
    std::vector<std::int32_t> seen;
    ASSERT_TRUE(deleteRecord(SubStatement([&] {
        const std::int32_t v = readField(1).asInteger();
        seen.push_back(v);
        return Value::logical(v % 3 == 0);
    })));
    EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(readField(1), Value::integer(6)); // current record restored
    EXPECT_EQ(statusWords(), (std::vector<std::int32_t>{1, 2, -3, 4, 5, -6, 7, 8, -9, 10}));

    ASSERT_TRUE(pack());
    EXPECT_EQ(statusWords(), (std::vector<std::int32_t>{1, 2, 4, 5, 7, 8, 10}));
    ASSERT_TRUE(goToRecord(7));
    EXPECT_EQ(readField(2), Value::text("n10"));
    EXPECT_EQ(readBytes("f.edb").size(), 116 + 2 * 72 + 7 * 40008u);

    ASSERT_TRUE(deleteRecord(Condition(true)));
    ASSERT_TRUE(pack());
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(readBytes("f.edb").size(), 116 + 2 * 72u);
}

TEST_F(Conditions, PackWithoutDeletedRecordsChangesNothing)
{
    makeStore(9, true);
    const Bytes before = readBytes("f.edb");
    ASSERT_TRUE(goToRecord(5));
    ASSERT_TRUE(pack());
    EXPECT_EQ(readBytes("f.edb"), before);
    EXPECT_EQ(readField(1), Value::integer(1)); // pack leaves record 1 current
}

TEST_F(Conditions, AConditionThatIsNotLogicalEndsTheProgram)
{
    makeStore(2);
    EXPECT_EXIT(find(SubStatement([] { return Value::integer(1); })), ::testing::ExitedWithCode(255),
                reinterpret_cast<const char*>(u8"用作进行条件判断的子语句参数只能接受逻辑型数据"));
    EXPECT_EXIT(deleteRecord(SubStatement([] { return Value::text("真"); })), ::testing::ExitedWithCode(255),
                reinterpret_cast<const char*>(u8"用作进行条件判断的子语句参数只能接受逻辑型数据"));
}

} // namespace
} // namespace qr::store::testing
