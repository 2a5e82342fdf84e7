// Writing imported rows into the roster store when the disk fails at any write on
// the way: the old roster is never lost.
#include "tests/app/app_fixture.h"

#include "app/roster_replace.h"
#include "runtime/gbk.h"
#include "tests/store/fault_env.h"

namespace qr::app::test {
namespace {

class RosterReplaceTest : public AppTest {
protected:
    void TearDown() override
    {
        store::setStoreEnv(nullptr);
        AppTest::TearDown();
    }

    void freshRoster(const std::vector<StudentRecord>& students)
    {
        removeStore(rosterPath());
        const std::string command = std::string(QR_STORE_TOOL) + " create-roster '" + rosterPath() + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        seed(rosterPath(), students);
    }

    static std::vector<std::string> names(const std::vector<StudentRecord>& students)
    {
        std::vector<std::string> all;
        for (const auto& s : students)
            all.push_back(s.name);
        return all;
    }
};

SheetRow row(std::string_view number, std::string_view name)
{
    SheetRow r;
    r[0] = number;
    r[1] = name;
    r[3] = "170";
    r[4] = "45.5";
    return r;
}

TEST_F(RosterReplaceTest, RowsBecomeTheRosterWithTheirNumbersAsGiven)
{
    freshRoster({sampleStudent(1, "旧一"), sampleStudent(2, "旧二")});
    ASSERT_TRUE(
        replaceStoreContent(runtime::utf8ToGbk(rosterPath()), {row("3", "甲"), row("abc", "乙"), row("7", "丙")}));
    const auto stored = readAll(rosterPath());
    EXPECT_EQ(names(stored), (std::vector<std::string>{"甲", "乙", "丙"}));
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].number, 3);
    EXPECT_EQ(stored[1].number, 0);
    EXPECT_EQ(stored[2].number, 7);
    EXPECT_TRUE(checkClean(rosterPath()));
}

TEST_F(RosterReplaceTest, AFailedWriteAnywhereKeepsTheOldRoster)
{
    const std::vector<StudentRecord> old = {sampleStudent(1, "旧一"), sampleStudent(2, "旧二"),
                                            sampleStudent(3, "旧三")};
    const std::vector<SheetRow> rows = {row("1", "甲"), row("2", "乙"), row("3", "丙")};
    const std::vector<StudentRecord> rowsAsStudents = {sampleStudent(0, "甲"), sampleStudent(0, "乙"),
                                                       sampleStudent(0, "丙")};
    store::testing::FaultEnv faults;
    bool succeeded = false;
    int failedRuns = 0;
    // One write fails, the n-th of the replacement, for every n until none is left to fail.
    for (int allowed = 0; allowed < 400 && !succeeded; ++allowed) {
        store::setStoreEnv(nullptr);
        freshRoster(old);
        faults.failWritesAfter("xsdate.edb", allowed, 1);
        store::setStoreEnv(&faults);
        succeeded = replaceStoreContent(runtime::utf8ToGbk(rosterPath()), rows);
        store::setStoreEnv(nullptr);
        const auto stored = readAll(rosterPath());
        if (succeeded) {
            EXPECT_EQ(names(stored), (std::vector<std::string>{"甲", "乙", "丙"}));
            break;
        }
        ++failedRuns;
        // Reported as not written: either the old students are all still there,
        // first and in order (an append or a delete mark failed), or the store's
        // own pack failed after it had already put the new students in place.
        ASSERT_GE(stored.size(), old.size()) << "write " << allowed;
        const auto firstThree = names(std::vector<StudentRecord>(stored.begin(), stored.begin() + 3));
        EXPECT_TRUE(firstThree == names(old) || firstThree == names(rowsAsStudents)) << "write " << allowed;
    }
    EXPECT_TRUE(succeeded);
    EXPECT_GT(failedRuns, 3);
}

} // namespace
} // namespace qr::app::test
