// Locks and share modes between handles of one process and between processes.
#include "store/data_locks.h"
#include "store/env.h"
#include "store/share_mode.h"
#include "store_test_support.h"

#include <chrono>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qr::store::testing {
namespace {

// Data start of the one-field store below; record length 8.
constexpr std::int64_t kDataStart = 116 + 72;

class Locking : public StoreTest {
protected:
    void makeStore(const std::string& name = "l.edb") { create(name, {{"号", FieldType::Integer, 0}}); }
    // A second, independent handle on the same file, as another program would have.
    std::unique_ptr<File> otherHandle(const std::string& name = "l.edb", OpenMode mode = OpenMode::ReadWrite)
    {
        std::unique_ptr<File> file;
        EXPECT_EQ(posixEnv().openFile(name, mode, file), rc::kOk);
        return file;
    }
    static bool canLock(File& file, std::int64_t start, std::int64_t size = 1)
    {
        if (file.lock(start, size, LockMode::Exclusive) != rc::kOk)
            return false;
        EXPECT_EQ(file.unlock(start, size), rc::kOk);
        return true;
    }
};

TEST_F(Locking, HeldBytesRefuseOtherHandlesOfThisProcess)
{
    makeStore();
    ASSERT_TRUE(open("l.edb"));
    ASSERT_TRUE(add({Value::integer(1)}));
    auto other = otherHandle();

    ASSERT_EQ(other->lock(16, 1, LockMode::Exclusive), rc::kOk);
    EXPECT_FALSE(add({Value::integer(2)}));
    EXPECT_EQ(lastError(), rc::kLockViolation);
    EXPECT_EQ(recordCount(), 0); // waits its 2000 ms, then gives up
    EXPECT_EQ(lastError(), rc::kLockViolation);
    ASSERT_EQ(other->unlock(16, 1), rc::kOk);
    EXPECT_EQ(recordCount(), 1);

    ASSERT_EQ(other->lock(kDataStart, 1, LockMode::Exclusive), rc::kOk);
    ASSERT_TRUE(goToRecord(1));
    EXPECT_EQ(readField(1), Value::integer(0));
    EXPECT_EQ(lastError(), rc::kLockViolation);
    EXPECT_FALSE(changeRecord(std::vector<Value>{Value::integer(5)}));
    EXPECT_FALSE(deleteRecord());
    EXPECT_FALSE(pack()); // the exclusive section cannot get the record's byte
    EXPECT_EQ(lastError(), rc::kLockViolation);
    // A refused exclusive section leaves no piece locked behind.
    EXPECT_TRUE(canLock(*other, 0, 16));
    ASSERT_EQ(other->unlock(kDataStart, 1), rc::kOk);
    EXPECT_EQ(readField(1), Value::integer(1));
}

TEST_F(Locking, RetryTimeOutWaitsForAReleasedLock)
{
    makeStore();
    ASSERT_TRUE(open("l.edb"));
    auto other = otherHandle();
    ASSERT_EQ(other->lock(16, 1, LockMode::Exclusive), rc::kOk);
    setLockRetryTimeout(60);
    EXPECT_FALSE(add({Value::integer(1)}));
    EXPECT_EQ(lastError(), rc::kLockViolation);

    // The holder lets go of the byte while we retry.
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(other->unlock(16, 1), rc::kOk);
    });
    setLockRetryTimeout(5000);
    EXPECT_TRUE(add({Value::integer(1)})) << lastError();
    holder.join();
    EXPECT_EQ(recordCount(), 1);
}

TEST_F(Locking, NestedLocksAreCountedAndExclusiveSectionsSplitAroundHeldBytes)
{
    makeStore();
    auto mine = otherHandle();
    auto other = otherHandle();
    DataLocks locks(*mine);
    ASSERT_EQ(locks.lock(16), rc::kOk);
    ASSERT_EQ(locks.lock(16), rc::kOk);
    EXPECT_EQ(locks.unlock(16), rc::kOk);
    EXPECT_FALSE(canLock(*other, 16));
    EXPECT_EQ(locks.unlock(16), rc::kOk);
    EXPECT_TRUE(canLock(*other, 16));
    EXPECT_EQ(locks.unlock(16), rc::kUnlockFailed);

    ASSERT_EQ(locks.lock(300), rc::kOk);
    ASSERT_EQ(locks.enterExclusive(), rc::kOk);
    EXPECT_FALSE(canLock(*other, 0));
    EXPECT_FALSE(canLock(*other, 0x7FFFFFFE));
    EXPECT_TRUE(canLock(*other, 0x7FFFFFFF));   // beyond the whole-file range
    EXPECT_EQ(locks.enterExclusive(), rc::kOk); // nested
    locks.leaveExclusive();
    EXPECT_FALSE(canLock(*other, 5));
    locks.leaveExclusive();
    EXPECT_TRUE(canLock(*other, 5));
    EXPECT_FALSE(canLock(*other, 300)); // still held by its own lock
    EXPECT_EQ(locks.unlock(300), rc::kOk);
    EXPECT_TRUE(canLock(*other, 300));

    // While the whole file is held, byte locks are only counted, and the bytes still
    // counted when it goes are held again.
    ASSERT_EQ(locks.lock(40), rc::kOk);
    ASSERT_EQ(locks.lock(DataLocks::kWholeFile), rc::kOk);
    ASSERT_EQ(locks.lock(50), rc::kOk);
    EXPECT_FALSE(canLock(*other, 1000));
    ASSERT_EQ(locks.unlock(DataLocks::kWholeFile), rc::kOk);
    EXPECT_FALSE(canLock(*other, 40));
    EXPECT_FALSE(canLock(*other, 50));
    EXPECT_TRUE(canLock(*other, 1000));
    // The whole file is refused while another handle holds a byte of it, and the
    // bytes given up for the attempt are ours again.
    ASSERT_EQ(other->lock(2000, 1, LockMode::Exclusive), rc::kOk);
    EXPECT_EQ(locks.lock(DataLocks::kWholeFile), rc::kLockViolation);
    EXPECT_FALSE(canLock(*otherHandle(), 40));
}

TEST_F(Locking, ShareModesHoldBetweenHandles)
{
    makeStore();
    OpenOptions denyWrite;
    denyWrite.shareMode = share::kDenyWrite;
    ASSERT_TRUE(open("l.edb", denyWrite));
    auto writer = otherHandle();
    EXPECT_EQ(claimShareMode(*writer, ShareMode::None), rc::kSharingViolation);
    auto reader = otherHandle("l.edb", OpenMode::ReadOnly);
    EXPECT_EQ(claimShareMode(*reader, ShareMode::None), rc::kOk);
    // A reader that denies writing is refused too: we write.
    auto strict = otherHandle("l.edb", OpenMode::ReadOnly);
    EXPECT_EQ(claimShareMode(*strict, ShareMode::DenyWrite), rc::kSharingViolation);
    closeStore();
    EXPECT_EQ(claimShareMode(*writer, ShareMode::None), rc::kOk); // closing ends the refusal

    // A store that another handle writes cannot be opened denying writes, nor denying
    // everything; sharing it is fine.
    EXPECT_FALSE(open("l.edb", denyWrite));
    EXPECT_EQ(lastError(), rc::kSharingViolation);
    OpenOptions exclusive;
    exclusive.shareMode = 0; // an explicit 0 denies reading and writing
    EXPECT_FALSE(open("l.edb", exclusive));
    EXPECT_EQ(lastError(), rc::kSharingViolation);
    EXPECT_TRUE(open("l.edb"));
    closeStore();
    writer.reset();
    reader.reset();
    strict.reset();

    ASSERT_TRUE(open("l.edb", exclusive));
    auto late = otherHandle("l.edb", OpenMode::ReadOnly);
    EXPECT_EQ(claimShareMode(*late, ShareMode::None), rc::kSharingViolation);
    // A deny-all store takes no data-file locks: no one else can reach it anyway.
    auto locker = otherHandle();
    ASSERT_EQ(locker->lock(16, 1, LockMode::Exclusive), rc::kOk);
    EXPECT_TRUE(add({Value::integer(1)})) << lastError();
}

TEST_F(Locking, TwoProcessesAppendingAtOnceGetDistinctSerials)
{
    makeStore();
    constexpr int kEach = 300; // each append is a commit with its syncs
    setLockRetryTimeout(-1);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = openStore("l.edb");
        for (int i = 0; ok && i < kEach; ++i) {
            const Value v[] = {Value::integer(-1 - i)};
            ok = addRecord(v);
        }
        _exit(ok ? 0 : 1);
    }
    ASSERT_TRUE(open("l.edb"));
    for (int i = 0; i < kEach; ++i) {
        const Value v[] = {Value::integer(1 + i)};
        ASSERT_TRUE(addRecord(v)) << lastError();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    ASSERT_EQ(recordCount(), 2 * kEach);
    const Bytes file = readBytes("l.edb");
    ASSERT_EQ(file.size(), kDataStart + 2u * kEach * 8);
    EXPECT_EQ(i32At(file, 20), 2 * kEach + 1);
    std::set<std::int32_t> serials;
    std::int32_t lastMine = 0, lastTheirs = 0;
    for (int r = 0; r < 2 * kEach; ++r) {
        serials.insert(i32At(file, kDataStart + r * 8));
        // Each process's records keep their own order.
        const std::int32_t v = i32At(file, kDataStart + r * 8 + 4);
        if (v > 0) {
            EXPECT_EQ(v, lastMine + 1);
            lastMine = v;
        } else {
            EXPECT_EQ(v, lastTheirs - 1);
            lastTheirs = v;
        }
    }
    EXPECT_EQ(serials.size(), 2u * kEach);
    EXPECT_EQ(*serials.begin(), 1);
    EXPECT_EQ(*serials.rbegin(), 2 * kEach);
}

TEST_F(Locking, AStoreHeldExclusivelyByAnotherProcessIsASharingViolation)
{
    makeStore();
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OpenOptions exclusive;
        exclusive.shareMode = share::kDenyReadWrite;
        const char ok = openStore("l.edb", exclusive) ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        char c;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    OpenOptions readOnly;
    readOnly.readOnly = true;
    EXPECT_FALSE(open("l.edb", readOnly));
    EXPECT_EQ(lastError(), rc::kSharingViolation);
    // Retried under the time-out, the open succeeds once the other process is gone.
    setLockRetryTimeout(5000);
    (void)!write(release[1], "x", 1);
    EXPECT_TRUE(open("l.edb", readOnly)) << lastError();
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

} // namespace
} // namespace qr::store::testing
