// The application's actions that run several store commands, crashed after each
// change they make to the file system: every store comes back as before or as
// after the action, the consistency check clean, and a student being moved is
// never lost (at worst, in both stores).
#include "app/roster_replace.h"
#include "app/store_session.h"
#include "roster/store_layout.h"
#include "store/commands.h"
#include "tests/store/crash_driver.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qr::app {
namespace {

using store::testing::CrashDrive;
using store::testing::driveCrashes;
using store::testing::FaultEnv;

StudentRecord student(int number)
{
    const std::string n = std::to_string(number);
    StudentRecord s;
    s.number = number;
    s.name = "学生" + n;
    s.sex = number % 2 ? "男" : "女";
    s.height = 150 + number;
    s.weight = 40.5f + float(number);
    s.age = "1" + n;
    s.idCard = "43010220100315002" + n;
    s.address = "村" + n + "号";
    s.guardian1Relation = "父亲";
    // A photo of a few blocks, so that chains are written, moved and freed.
    s.photo.assign(300 + 450 * std::size_t(number), std::uint8_t(number));
    return s;
}

class AppCrashes : public ::testing::Test {
protected:
    void SetUp() override
    {
        roster_ = scratch_.path() + "/xsdate.edb";
        recycle_ = scratch_.path() + "/deldate.edb";
        ASSERT_TRUE(store::createStore(roster_, roster::rosterFieldSpecs()));
        ASSERT_TRUE(store::createStore(recycle_, roster::rosterFieldSpecs()));
        store::setStoreEnv(&env_);
        RosterStore r(roster_);
        for (int i = 1; i <= 5; ++i)
            ASSERT_TRUE(appendStudent(r, student(i)));
        RosterStore d(recycle_);
        ASSERT_TRUE(appendStudent(d, student(9)));
    }
    void TearDown() override { store::setStoreEnv(nullptr); }

    void report(const char* what, const CrashDrive& d)
    {
        EXPECT_GT(d.changes, 0);
        std::printf("%s: %d crash points over %d changes\n", what, d.crashes, d.changes);
        RecordProperty("crash_points", d.crashes);
    }

    test_support::TempDir scratch_;
    std::string roster_, recycle_;
    FaultEnv env_;
};

TEST_F(AppCrashes, MoveToTheRecycleStoreNeverLosesTheStudent)
{
    const CrashDrive d = driveCrashes(env_, {roster_, recycle_}, [&] { (void)moveStudent(roster_, recycle_, 2); });
    report("move", d);
    for (const std::vector<bool>& o : d.outcomes)
        EXPECT_FALSE(o[0] && !o[1]) << "the student left the roster but never reached the recycle store";
}

TEST_F(AppCrashes, RenumberingIsOneChange)
{
    {
        RosterStore r(roster_);
        ASSERT_TRUE(r.goToRecord(2) && r.deleteRecord() && r.pack());
    }
    const CrashDrive d = driveCrashes(env_, {roster_}, [&] {
        RosterStore r(roster_);
        (void)renumberStore(r);
    });
    report("renumber", d);
}

TEST_F(AppCrashes, ImportReplacingTheRosterIsOneChange)
{
    std::vector<SheetRow> rows;
    for (int i = 1; i <= 6; ++i) {
        SheetRow row{};
        row[0] = std::to_string(i);
        row[1] = "导入" + std::to_string(i);
        row[11] = "43010220100315009" + std::to_string(i);
        rows.push_back(row);
    }
    const CrashDrive d = driveCrashes(env_, {roster_}, [&] { (void)replaceStoreContent(roster_, rows); });
    report("import replace", d);
}

TEST_F(AppCrashes, AddOfOneStudent)
{
    const CrashDrive d = driveCrashes(env_, {roster_}, [&] {
        RosterStore r(roster_);
        (void)appendStudent(r, student(7));
    });
    report("add student", d);
}

} // namespace
} // namespace qr::app
