// The record commands on a store with one field of every type.
#include "store_test_support.h"

#include <thread>
#include <unistd.h>

namespace qr::store::testing {
namespace {

class Commands : public StoreTest {};

std::vector<Value> sampleValues()
{
    return {Value::byte(200),
            Value::shortInt(-12345),
            Value::integer(-2000000000),
            Value::longInt(0x123456789ABCDEFLL),
            Value::floating(52.25f),
            Value::doubleFloat(165.5),
            Value::logical(true),
            Value::dateTime(45123.75),
            Value::subprogramPointer(0xDEADBEEF),
            Value::text("张三abc"),
            Value::byteSet(pattern(1234, 3)),
            Value::text(std::string(777, 'x') + "备注")};
}

TEST_F(Commands, EveryFieldTypeRoundTripsByNumberAndName)
{
    createAllTypes("all.edb");
    const auto values = sampleValues();
    ASSERT_TRUE(addRecord(values)) << lastError();
    auto check = [&] {
        ASSERT_TRUE(goToRecord(1));
        for (std::int32_t i = 1; i <= 12; ++i)
            EXPECT_EQ(readField(i), values[i - 1]) << "field " << i;
        EXPECT_EQ(readField(Value::text("文本")), values[kText - 1]);
        EXPECT_EQ(readField(Value::doubleFloat(3.9)), values[kInteger - 1]); // number truncated
        EXPECT_EQ(lastError(), rc::kOk);
    };
    check();
    closeStore();
    ASSERT_TRUE(openStore("all.edb"));
    check();
    std::int32_t status = 0;
    ASSERT_TRUE(readStatusWord(status));
    EXPECT_EQ(status, 1);
}

TEST_F(Commands, OmittedValuesAreZeroOnAddAndUnchangedOnChange)
{
    createAllTypes("all.edb");
    const auto values = sampleValues();
    ASSERT_TRUE(add({Value::byte(7)}));
    for (std::int32_t i = 2; i <= 12; ++i)
        EXPECT_EQ(readField(i), [&] {
            switch (i) {
            case kShort: return Value::shortInt(0);
            case kInteger: return Value::integer(0);
            case kLong: return Value::longInt(0);
            case kFloat: return Value::floating(0);
            case kDouble: return Value::doubleFloat(0);
            case kLogical: return Value::logical(false);
            case kDateTime: return Value::dateTime(0);
            case kPointer: return Value::subprogramPointer(0);
            case kBytes: return Value::byteSet({});
            default: return Value::text("");
            }
        }()) << i;

    ASSERT_TRUE(changeRecord(values));
    const Value partial[] = {Value(), Value::shortInt(9), Value(), Value(), Value(), Value(), Value(), Value(),
                             Value(), Value::text("ab")};
    ASSERT_TRUE(changeRecord(partial));
    EXPECT_EQ(readField(kByte), values[0]);
    EXPECT_EQ(readField(kShort), Value::shortInt(9));
    EXPECT_EQ(readField(kText), Value::text("ab")); // a shorter text reads back exactly
    EXPECT_EQ(readField(kBytes), values[kBytes - 1]);
    EXPECT_EQ(readField(kMemo), values[kMemo - 1]);
    // More values than fields: the rest is ignored.
    std::vector<Value> extra = values;
    extra.push_back(Value::integer(1));
    EXPECT_TRUE(addRecord(extra));
    EXPECT_EQ(recordCount(), 2);
}

TEST_F(Commands, ValuesOfTheWrongTypeChangeNothing)
{
    createAllTypes("all.edb", 1);
    const Bytes before = readBytes("all.edb");
    EXPECT_FALSE(add({Value(), Value(), Value(), Value(), Value(), Value(), Value::integer(1)}));
    EXPECT_EQ(lastError(), rc::kTypeMismatch);
    EXPECT_FALSE(add({Value::text("1")}));
    EXPECT_EQ(lastError(), rc::kTypeMismatch);
    const Value wrongChange[] = {
        Value::byte(1),          Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
        Value::text("not bytes")};
    EXPECT_FALSE(changeRecord(wrongChange));
    EXPECT_EQ(lastError(), rc::kTypeMismatch);
    EXPECT_EQ(readBytes("all.edb"), before);
    EXPECT_EQ(recordCount(), 1);
}

TEST_F(Commands, GoToRecordClampsToTheStore)
{
    createAllTypes("all.edb", 3);
    EXPECT_TRUE(goToRecord(0));
    EXPECT_EQ(readField(kInteger), Value::integer(1));
    EXPECT_TRUE(goToRecord(-5));
    EXPECT_EQ(readField(kInteger), Value::integer(1));
    EXPECT_TRUE(goToRecord(99));
    EXPECT_EQ(readField(kInteger), Value::integer(3));
    EXPECT_TRUE(goToRecord(INT32_MIN));
    EXPECT_EQ(readField(kInteger), Value::integer(1));
    EXPECT_TRUE(goToRecord(2));
    EXPECT_EQ(readField(kInteger), Value::integer(2));
}

TEST_F(Commands, EmptyStoreHasNoCurrentRecord)
{
    createAllTypes("all.edb");
    EXPECT_TRUE(goToRecord(1));
    EXPECT_EQ(readField(kText), Value::text(""));
    EXPECT_EQ(lastError(), rc::kBadSeek);
    EXPECT_FALSE(changeRecord(std::vector<Value>{Value::byte(1)}));
    EXPECT_EQ(lastError(), rc::kNoCurrentRecord);
    EXPECT_FALSE(deleteRecord());
    EXPECT_EQ(lastError(), rc::kNoCurrentRecord);
    EXPECT_FALSE(find(true));
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Commands, DeleteMarksAndPackKeepsOrderAndSerials)
{
    createAllTypes("all.edb", 5);
    ASSERT_TRUE(goToRecord(2));
    ASSERT_TRUE(deleteRecord());
    ASSERT_TRUE(deleteRecord()); // already deleted: nothing changes
    std::int32_t status = 0;
    ASSERT_TRUE(readStatusWord(status));
    EXPECT_EQ(status, -2);
    ASSERT_TRUE(goToRecord(4));
    ASSERT_TRUE(deleteRecord());
    EXPECT_EQ(recordCount(), 5); // marked, still present
    // A deleted record still reads like any other.
    EXPECT_EQ(readField(kInteger), Value::integer(4));

    ASSERT_TRUE(pack());
    ASSERT_EQ(recordCount(), 3);
    const std::int32_t expected[] = {1, 3, 5};
    for (std::int32_t r = 1; r <= 3; ++r) {
        ASSERT_TRUE(goToRecord(r));
        ASSERT_TRUE(readStatusWord(status));
        EXPECT_EQ(status, expected[r - 1]);
        EXPECT_EQ(readField(kInteger), Value::integer(expected[r - 1]));
    }
    ASSERT_TRUE(add({Value::byte(1)}));
    ASSERT_TRUE(readStatusWord(status));
    EXPECT_EQ(status, 6);
    EXPECT_EQ(readBytes("all.edb").size(), 116 + 12 * 72 + 4u * (4 + 1 + 2 + 4 + 8 + 4 + 8 + 1 + 8 + 4 + 10 + 4 + 4));
}

TEST_F(Commands, ClearKeepsTheNextSerial)
{
    createAllTypes("all.edb", 8);
    ASSERT_TRUE(clearStore());
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(readBytes("all.edb").size(), 116 + 12 * 72u);
    ASSERT_TRUE(add({Value::byte(1)}));
    std::int32_t status = 0;
    ASSERT_TRUE(readStatusWord(status));
    EXPECT_EQ(status, 9);
}

TEST_F(Commands, NoCurrentStoreIsReportedByEveryRecordCommand)
{
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(lastError(), rc::kNoCurrentStore);
    EXPECT_FALSE(goToRecord(1));
    EXPECT_FALSE(add({Value::byte(1)}));
    EXPECT_FALSE(changeRecord(std::vector<Value>{Value::byte(1)}));
    EXPECT_FALSE(deleteRecord());
    EXPECT_FALSE(deleteRecord(Condition(true)));
    EXPECT_FALSE(pack());
    EXPECT_FALSE(clearStore());
    EXPECT_FALSE(find(true));
    EXPECT_EQ(lastError(), rc::kNoCurrentStore);
    closeStore();
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Commands, EachThreadHasItsOwnLastError)
{
    EXPECT_FALSE(pack());
    ResultCode seenByOther{1};
    std::thread([&] { seenByOther = lastError(); }).join();
    EXPECT_EQ(seenByOther, rc::kOk);
    EXPECT_EQ(lastError(), rc::kNoCurrentStore);
}

TEST_F(Commands, SameFileTwiceIsRefusedHoweverItIsNamed)
{
    createAllTypes("x.edb");
    std::filesystem::create_directory("sub");
    std::filesystem::create_symlink(dir_ / "x.edb", "link.edb");
    std::filesystem::create_hard_link("x.edb", "hard.edb");
    for (const std::string& name :
         {std::string("x.edb"), std::string("./x.edb"), std::string("sub/../x.edb"), (dir_ / "x.edb").string(),
          std::string("link.edb"), std::string("hard.edb"), std::string("X.EDB"), std::string("x")}) {
        EXPECT_FALSE(openStore(name)) << name;
        EXPECT_EQ(lastError(), rc::kAlreadyOpen) << name;
    }
    // The failed opens left the first store current and open.
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(lastError(), rc::kOk);
}

TEST_F(Commands, CloseByAliasTitleOrPathAndTheCurrentStore)
{
    for (const char* name : {"a.edb", "b.edb", "c.edb"})
        create(name, {{"号", FieldType::Integer, 0}});
    OpenOptions aliased;
    aliased.alias = "别名B";
    ASSERT_TRUE(open("a.edb"));
    ASSERT_TRUE(add({Value::integer(1)}));
    ASSERT_TRUE(open("b.edb", aliased));
    ASSERT_TRUE(open("c.edb"));
    ASSERT_TRUE(add({Value::integer(3)}));
    ASSERT_TRUE(add({Value::integer(3)}));

    closeStore("A");             // by title, letter case aside; it stood before the current store
    EXPECT_EQ(recordCount(), 2); // c is still current
    closeStore("nothing");
    EXPECT_EQ(lastError(), rc::kOk);
    EXPECT_EQ(recordCount(), 2);
    closeStore("别名b");
    EXPECT_EQ(recordCount(), 2);
    closeStore((dir_ / "c.edb").string());
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(lastError(), rc::kNoCurrentStore);

    // A closed store may be opened again.
    ASSERT_TRUE(open("a.edb"));
    EXPECT_EQ(recordCount(), 1);
    closeStore();
    EXPECT_EQ(recordCount(), 0);
    EXPECT_EQ(lastError(), rc::kNoCurrentStore);
}

TEST_F(Commands, SelectMakesTheStoreOnThatFileCurrentHoweverItIsNamed)
{
    for (const char* name : {"a.edb", "b.edb"})
        create(name, {{"号", FieldType::Integer, 0}});
    std::filesystem::create_symlink(dir_ / "a.edb", "link.edb");
    ASSERT_TRUE(open("a.edb"));
    ASSERT_TRUE(add({Value::integer(1)}));
    ASSERT_TRUE(open("b.edb"));
    ASSERT_TRUE(add({Value::integer(2)}));
    ASSERT_TRUE(add({Value::integer(2)}));

    for (const std::string& name : {std::string("a.edb"), std::string("./a.edb"), (dir_ / "a.edb").string(),
                                    std::string("A.EDB"), std::string("a"), std::string("link.edb")}) {
        ASSERT_TRUE(selectStore("b.edb"));
        EXPECT_TRUE(selectStore(name)) << name;
        EXPECT_EQ(lastError(), rc::kOk) << name;
        EXPECT_EQ(recordCount(), 1) << name;
    }
    // Each store keeps its own current record across selections.
    ASSERT_TRUE(goToRecord(1));
    ASSERT_TRUE(selectStore("b"));
    ASSERT_TRUE(goToRecord(2));
    ASSERT_TRUE(selectStore("a"));
    EXPECT_EQ(readField(1), Value::integer(1));
    ASSERT_TRUE(selectStore("b"));
    EXPECT_EQ(readField(1), Value::integer(2));
}

TEST_F(Commands, SelectingAFileWithoutAnOpenStoreLeavesNoneCurrent)
{
    create("a.edb", {{"号", FieldType::Integer, 0}});
    create("closed.edb", {{"号", FieldType::Integer, 0}});
    ASSERT_TRUE(open("a.edb"));
    ASSERT_TRUE(add({Value::integer(1)}));
    for (const char* name : {"closed.edb", "missing.edb", ""}) {
        ASSERT_TRUE(selectStore("a.edb"));
        EXPECT_FALSE(selectStore(name)) << name;
        EXPECT_EQ(lastError(), rc::kStoreNotOpen) << name;
        // A command meant for that file must not act on the store that was current.
        EXPECT_FALSE(addRecord(std::vector<Value>{Value::integer(9)})) << name;
        EXPECT_EQ(lastError(), rc::kNoCurrentStore) << name;
    }
    ASSERT_TRUE(selectStore("a.edb"));
    EXPECT_EQ(recordCount(), 1);
}

TEST_F(Commands, CreateStoreRefusesBadDefinitionsAndExistingFiles)
{
    auto refused = [](std::vector<FieldSpec> fields, const std::string& name = "n.edb") {
        EXPECT_FALSE(createStore(name, fields));
        return lastError();
    };
    EXPECT_EQ(refused({}), rc::kFieldCountZero);
    EXPECT_EQ(refused({{"1号", FieldType::Integer, 0}}), rc::kInvalidFieldName);
    EXPECT_EQ(refused({{"号", static_cast<FieldType>(13), 0}}), rc::kInvalidFieldType);
    EXPECT_EQ(refused({{"号", static_cast<FieldType>(0), 0}}), rc::kInvalidFieldType);
    EXPECT_EQ(refused({{"名", FieldType::Text, 0}}), rc::kInvalidFieldSize);
    EXPECT_EQ(refused({{"名", FieldType::Text, 0x7FFFFFF0}}), rc::kInvalidFieldSize);
    EXPECT_EQ(refused({{"Name", FieldType::Text, 4}, {"nAME", FieldType::Integer, 0}}), rc::kDuplicateFieldName);
    EXPECT_FALSE(std::filesystem::exists("n.edb"));

    ASSERT_TRUE(createStore("n", std::vector<FieldSpec>{{"号", FieldType::Integer, 0}}));
    EXPECT_TRUE(std::filesystem::exists("n.EDB"));
    EXPECT_FALSE(std::filesystem::exists("n.EDT"));
    EXPECT_EQ(refused({{"号", FieldType::Integer, 0}}, "n"), rc::kCreateFailed);
    EXPECT_EQ(refused({{"号", FieldType::Integer, 0}}, "nodir/n.edb"), rc::kCreateFailed);
    // A leftover auxiliary file is not overwritten, and no half store stays behind.
    writeBytes("m.EDT", Bytes(512, 1));
    EXPECT_EQ(refused({{"照片", FieldType::ByteSet, 0}}, "m.edb"), rc::kAuxCreateFailed);
    EXPECT_FALSE(std::filesystem::exists("m.edb"));
    EXPECT_EQ(readBytes("m.EDT"), Bytes(512, 1));
}

TEST_F(Commands, NewStoreLayoutIsPackedAfterTheStatusWord)
{
    create("学生.edb", allTypesFields());
    // The GBK name reaches the file system as UTF-8.
    const Bytes b = readBytes(std::filesystem::path(u8"学生.edb"));
    ASSERT_EQ(b.size(), 116 + 12 * 72u);
    EXPECT_EQ(i32At(b, 0), 0x42444557);
    EXPECT_EQ(i32At(b, 4), 0x10000);
    EXPECT_EQ(i32At(b, 16), 0);
    EXPECT_EQ(i32At(b, 20), 1);
    EXPECT_EQ(i32At(b, 24), 4 + 1 + 2 + 4 + 8 + 4 + 8 + 1 + 8 + 4 + 10 + 4 + 4);
    EXPECT_EQ(i32At(b, 112), 12);
    std::int32_t expectedOffset = 4;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(i32At(b, 116 + 72 * i + 20), i + 1);
        EXPECT_EQ(i32At(b, 116 + 72 * i + 24), expectedOffset);
        expectedOffset += i == 9 ? 10 : i32At(b, 116 + 72 * i + 28);
    }
    const Bytes aux = readBytes(std::filesystem::path(u8"学生.EDT"));
    ASSERT_EQ(aux.size(), 512u);
    EXPECT_EQ(i32At(aux, 0), 0x54444557);
    EXPECT_EQ(i32At(aux, 4), 0x10000);
    EXPECT_EQ(i32At(aux, 16), 1);
    EXPECT_EQ(i32At(aux, 20), 0);
    ASSERT_TRUE(open("学生.edb"));
}

TEST_F(Commands, ReadFieldMisuseEndsTheProgram)
{
    EXPECT_EXIT(readField(1), ::testing::ExitedWithCode(255),
                reinterpret_cast<const char*>(u8"未指定当前数据库或者指定数据库未打开"));
    createAllTypes("all.edb", 1);
    EXPECT_EXIT(readField(13), ::testing::ExitedWithCode(255), reinterpret_cast<const char*>(u8"指定字段不存在"));
    EXPECT_EXIT(readField(0), ::testing::ExitedWithCode(255), reinterpret_cast<const char*>(u8"指定字段不存在"));
    EXPECT_EXIT(readField(Value::text("没有")), ::testing::ExitedWithCode(255),
                reinterpret_cast<const char*>(u8"指定字段不存在"));
    EXPECT_EXIT(readField(Value::logical(true)), ::testing::ExitedWithCode(255),
                reinterpret_cast<const char*>(u8"所提供参数的数据类型不符合要求"));
}

} // namespace
} // namespace qr::store::testing
