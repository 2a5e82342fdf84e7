// Every writing command, crashed after each change it makes to the file system:
// at the next open the store is exactly as before the command or exactly as after
// it, and the consistency check finds nothing wrong.
#include "crash_driver.h"
#include "fault_env.h"
#include "store/journal.h"
#include "store/paths.h"
#include "store_test_support.h"

#include <cstdio>

namespace qr::store::testing {
namespace {

class Crashes : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        path_ = (dir_ / "c.edb").string();
        create(path_, {{"号", FieldType::Integer, 0}, {"名", FieldType::Text, 12}, {"照片", FieldType::ByteSet, 0}});
        setStoreEnv(&env_);
        ASSERT_TRUE(openStore(path_));
        // Photos of several blocks, one value freed so that the free list is in use.
        for (int i = 1; i <= 5; ++i)
            ASSERT_TRUE(add({Value::integer(i), Value::text("学生" + std::to_string(i)),
                             Value::byteSet(pattern(400 + 350 * std::size_t(i), std::uint8_t(i)))}));
        ASSERT_TRUE(goToRecord(4));
        const Value emptied[] = {Value(), Value(), Value::byteSet({})};
        ASSERT_TRUE(changeRecord(emptied));
        closeStore(path_);
    }
    void TearDown() override
    {
        closeStore(path_);
        setStoreEnv(nullptr);
        StoreTest::TearDown();
    }

    // Runs body on the store, opened and closed around it, over every crash point.
    // The body ignores the commands' results: after a crash they fail, and what
    // counts is what the next open finds.
    void drive(const char* what, const std::function<void()>& body)
    {
        const CrashDrive d = driveCrashes(env_, {path_}, [&] {
            if (openStore(path_)) {
                body();
                closeStore(path_);
            }
        });
        EXPECT_GT(d.changes, 0);
        // Both outcomes are reached: crashes early roll back, late ones keep.
        bool sawBefore = false, sawAfter = false;
        for (const auto& o : d.outcomes)
            (o[0] ? sawAfter : sawBefore) = true;
        EXPECT_TRUE(sawBefore);
        EXPECT_TRUE(sawAfter);
        std::printf("%s: %d crash points over %d changes\n", what, d.crashes, d.changes);
        RecordProperty("crash_points", d.crashes);
    }

    std::string path_;
    FaultEnv env_;
};

TEST_F(Crashes, AddWithAPhotoTakingFreeAndNewBlocks)
{
    drive("add", [] {
        const Value values[] = {Value::integer(6), Value::text("新生"), Value::byteSet(pattern(2600, 9))};
        (void)addRecord(values);
    });
}

TEST_F(Crashes, ChangeOfATextAndALongerPhoto)
{
    drive("change", [] {
        (void)goToRecord(2);
        const Value values[] = {Value(), Value::text("改名"), Value::byteSet(pattern(3100, 7))};
        (void)changeRecord(values);
    });
}

TEST_F(Crashes, ChangeToAShorterPhotoFreesBlocks)
{
    drive("change shorter", [] {
        (void)goToRecord(5);
        const Value values[] = {Value(), Value(), Value::byteSet(pattern(100, 3))};
        (void)changeRecord(values);
    });
}

TEST_F(Crashes, DeleteOfOneRecord)
{
    drive("delete", [] {
        (void)goToRecord(3);
        (void)deleteRecord();
    });
}

TEST_F(Crashes, DeleteWithACondition)
{
    drive("conditional delete", [] {
        const SubStatement even = [] { return Value::logical(readField(1).asInteger() % 2 == 0); };
        (void)deleteRecord(Condition(even));
    });
}

TEST_F(Crashes, PackThatFreesChains)
{
    ASSERT_TRUE(openStore(path_));
    for (const int r : {1, 3})
        ASSERT_TRUE(goToRecord(r) && deleteRecord());
    closeStore(path_);
    drive("pack", [] { (void)pack(); });
}

TEST_F(Crashes, PackMovingRecordsInSeveralBatches)
{
    closeStore(path_);
    path_ = (dir_ / "w.edb").string();
    create(path_, {{"号", FieldType::Integer, 0}, {"名", FieldType::Text, 40000}});
    ASSERT_TRUE(openStore(path_));
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(add({Value::integer(i), Value::text("n" + std::to_string(i))}));
    ASSERT_TRUE(goToRecord(2) && deleteRecord());
    closeStore(path_);
    drive("pack in batches", [] { (void)pack(); });
}

TEST_F(Crashes, ClearOfStoreAndAuxiliaryFile)
{
    drive("clear", [] { (void)clearStore(); });
}

TEST_F(Crashes, UnitOfSeveralCommands)
{
    drive("unit", [] {
        (void)beginUnit();
        const Value added[] = {Value::integer(6), Value::text("新生"), Value::byteSet(pattern(1200, 4))};
        (void)addRecord(added);
        (void)(goToRecord(1) && deleteRecord());
        (void)pack();
        for (std::int32_t r = 1; r <= recordCount(); ++r) {
            const Value number[] = {Value::integer(r)};
            (void)(goToRecord(r) && changeRecord(number));
        }
        (void)endUnit();
    });
}

TEST_F(Crashes, CorrectionsOfAWritableOpen)
{
    // Another program left a data file shorter than its count and an auxiliary file
    // shorter than its block count: the writable open corrects both.
    Bytes data = readBytes(path_);
    putI32At(data, 16, i32At(data, 16) + 2);
    writeBytes(path_, data);
    Bytes aux = readBytes(dir_ / "c.EDT");
    putI32At(aux, 16, i32At(aux, 16) + 3);
    writeBytes(dir_ / "c.EDT", aux);
    const CrashDrive d = driveCrashes(env_, {path_}, [&] {
        if (openStore(path_))
            closeStore(path_);
    });
    EXPECT_GT(d.changes, 0);
    std::printf("open's corrections: %d crash points over %d changes\n", d.crashes, d.changes);
    RecordProperty("crash_points", d.crashes);
}

TEST_F(Crashes, AJournalWithATornTailRestoresWhatItHolds)
{
    // A writer died while its journal's last record was being written: only the
    // records before it had been synced, so only they were relied upon.
    const Bytes before = readBytes(path_);
    ASSERT_TRUE(openStore(path_));
    ASSERT_TRUE(beginUnit());
    ASSERT_TRUE(goToRecord(2) && deleteRecord());
    const Bytes journal = readBytes(path_ + "-journal");
    ASSERT_GT(journal.size(), 16u);
    Bytes torn = journal;
    torn.resize(torn.size() + 30, 0xAB); // half a record of garbage after the valid ones
    // The unit's writer is this process: keep its lock out of the way by copying the
    // store elsewhere, as it stood at the crash, with the torn journal beside it.
    const std::string copy = (dir_ / "t.edb").string();
    writeBytes(copy, readBytes(path_));
    writeBytes(dir_ / "t.EDT", readBytes(dir_ / "c.EDT"));
    writeBytes(copy + "-journal", torn);
    ASSERT_TRUE(endUnit());
    closeStore(path_);

    ASSERT_TRUE(openStore(copy));
    closeStore(copy);
    EXPECT_FALSE(std::filesystem::exists(copy + "-journal"));
    EXPECT_EQ(readBytes(copy), before);
}

TEST_F(Crashes, AJournalWhoseWriterIsAliveIsLeftToIt)
{
    ASSERT_TRUE(openStore(path_));
    ASSERT_TRUE(beginUnit());
    ASSERT_TRUE(goToRecord(2) && deleteRecord());
    const Bytes during = readBytes(path_);
    // A second handle (as another process would) must not take the live journal
    // for a hot one: the writer lock is held.
    ASSERT_EQ(recoverAtOpen(posixEnv(), path_, auxiliaryPath(path_)), rc::kOk);
    EXPECT_TRUE(std::filesystem::exists(path_ + "-journal"));
    EXPECT_EQ(readBytes(path_), during);
    ASSERT_TRUE(endUnit());
    EXPECT_FALSE(std::filesystem::exists(path_ + "-journal"));
}

} // namespace
} // namespace qr::store::testing
