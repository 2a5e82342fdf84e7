// The held-lock list of a handle against the locks its file really holds, when the
// platform refuses a lock or an unlock part-way: a listed lock is always held, and
// a held lock is always released at the latest by releaseAll.
#include "fault_env.h"
#include "store/data_locks.h"
#include "store/formats.h"
#include "store_test_support.h"

namespace qr::store::testing {
namespace {

constexpr std::int64_t kHeaderByte = 16;
constexpr std::int64_t kFirstRecord = 116 + 72; // one integer field

class LockBookkeeping : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        create("b.edb", {{"号", FieldType::Integer, 0}});
        ASSERT_EQ(env_.openFile("b.edb", OpenMode::ReadWrite, ours_), rc::kOk);
        ASSERT_EQ(posixEnv().openFile("b.edb", OpenMode::ReadWrite, other_), rc::kOk);
        locks_ = std::make_unique<DataLocks>(*ours_);
    }
    void TearDown() override
    {
        locks_.reset();
        ours_.reset();
        other_.reset();
        StoreTest::TearDown();
    }

    // Whether another program could lock the range now.
    bool otherCanLock(std::int64_t start, std::int64_t size = 1)
    {
        if (other_->lock(start, size, LockMode::Exclusive) != rc::kOk)
            return false;
        EXPECT_EQ(other_->unlock(start, size), rc::kOk);
        return true;
    }

    FaultEnv env_;
    std::unique_ptr<File> ours_;
    std::unique_ptr<File> other_;
    std::unique_ptr<DataLocks> locks_;
};

TEST_F(LockBookkeeping, AByteNotTakenBackAfterARefusedWholeFileIsLockedAgainOnItsNextLock)
{
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    ASSERT_EQ(other_->lock(kFirstRecord, 1, LockMode::Exclusive), rc::kOk);
    // The whole range goes to the file (and is refused); taking the byte back fails.
    env_.failLocksAfter("b.edb", 1, 1);
    EXPECT_EQ(locks_->lock(DataLocks::kWholeFile, 0), rc::kLockViolation);
    EXPECT_EQ(env_.lockFailures(), 1);
    ASSERT_EQ(other_->unlock(kFirstRecord, 1), rc::kOk);

    EXPECT_TRUE(otherCanLock(kHeaderByte));
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    EXPECT_FALSE(otherCanLock(kHeaderByte));
    // Both locks of the byte are counted: the first unlock keeps it, the second frees it.
    EXPECT_EQ(locks_->unlock(kHeaderByte), rc::kOk);
    EXPECT_FALSE(otherCanLock(kHeaderByte));
    EXPECT_EQ(locks_->unlock(kHeaderByte), rc::kOk);
    EXPECT_TRUE(otherCanLock(kHeaderByte));
}

TEST_F(LockBookkeeping, AByteNotTakenBackAfterTheWholeFileIsLockedAgainOnItsNextLock)
{
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    ASSERT_EQ(locks_->lock(DataLocks::kWholeFile, 0), rc::kOk);
    env_.failLocksAfter("b.edb", 0, 1);
    EXPECT_EQ(locks_->unlock(DataLocks::kWholeFile), rc::kUnlockFailed);
    EXPECT_EQ(env_.lockFailures(), 1);

    EXPECT_TRUE(otherCanLock(kHeaderByte));
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    EXPECT_FALSE(otherCanLock(kHeaderByte));
}

TEST_F(LockBookkeeping, AWholeFileLockTheFileKeepsStaysListedUntilReleaseAll)
{
    ASSERT_EQ(locks_->lock(DataLocks::kWholeFile, 0), rc::kOk);
    env_.failUnlocksAfter("b.edb", 0, 1);
    EXPECT_EQ(locks_->unlock(DataLocks::kWholeFile), rc::kUnlockFailed);
    EXPECT_FALSE(otherCanLock(kFirstRecord));
    // Nobody counts on it any more, so a second unlock is a caller's mistake.
    EXPECT_EQ(locks_->unlock(DataLocks::kWholeFile), rc::kUnlockFailed);

    locks_->releaseAll();
    EXPECT_TRUE(otherCanLock(0, format::kWholeFileLength));
}

TEST_F(LockBookkeeping, AByteTheFileKeepsStaysListedUntilReleaseAll)
{
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    env_.failUnlocksAfter("b.edb", 0, 1);
    EXPECT_EQ(locks_->unlock(kHeaderByte), rc::kUnlockFailed);
    EXPECT_FALSE(otherCanLock(kHeaderByte));
    EXPECT_EQ(locks_->unlock(kHeaderByte), rc::kUnlockFailed);

    locks_->releaseAll();
    EXPECT_TRUE(otherCanLock(kHeaderByte));
}

TEST_F(LockBookkeeping, AnExclusiveSectionTheFileKeepsIsReleasedByReleaseAll)
{
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    ASSERT_EQ(locks_->enterExclusive(), rc::kOk);
    EXPECT_FALSE(otherCanLock(kFirstRecord));
    env_.failUnlocksAfter("b.edb", 0, 1);
    locks_->leaveExclusive();
    EXPECT_FALSE(otherCanLock(0, kHeaderByte)); // the piece below the byte was not released

    locks_->releaseAll();
    EXPECT_TRUE(otherCanLock(0, format::kWholeFileLength));
}

TEST_F(LockBookkeeping, ARefusedExclusiveSectionLeavesNoPieceAndTheBytesHeld)
{
    ASSERT_EQ(locks_->lock(kHeaderByte), rc::kOk);
    ASSERT_EQ(other_->lock(kFirstRecord, 1, LockMode::Exclusive), rc::kOk);
    EXPECT_EQ(locks_->enterExclusive(), rc::kLockViolation);
    ASSERT_EQ(other_->unlock(kFirstRecord, 1), rc::kOk);
    EXPECT_TRUE(otherCanLock(0, kHeaderByte));
    EXPECT_TRUE(otherCanLock(kHeaderByte + 1, format::kWholeFileLength - kHeaderByte - 1));
    EXPECT_FALSE(otherCanLock(kHeaderByte));
}

} // namespace
} // namespace qr::store::testing
