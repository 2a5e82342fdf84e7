// Two processes appending to one store at once, through the tool: every record
// arrives once, serial numbers are unique, and the store stays sound.
#include "tests/tools/roster_fixture.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>

namespace qr::tests {
namespace {

constexpr int kPerProcess = 5000;

// Rows numbered first .. first + kPerProcess - 1; every tenth student has a photo
// of two blocks, so both processes also allocate in the auxiliary file at once.
void writeBatch(const TempDir& dir, const std::string& name, int first)
{
    std::string csv = kHeadings + "\r\n";
    const std::string photos = dir.file(name + "-photos");
    std::filesystem::create_directory(photos);
    for (int n = first; n < first + kPerProcess; ++n) {
        csv += studentRow(n, name + std::to_string(n)) + "\r\n";
        if (n % 10 == 0)
            writeBytesTo(photos + "/" + std::to_string(n) + ".jpg", makeJpeg(700, n));
    }
    writeText(dir.file(name + ".csv"), csv);
}

TEST_F(RosterTest, TwoProcessesAppendingAtOnce)
{
    createRoster();
    writeBatch(dir, "a", 1);
    writeBatch(dir, "b", kPerProcess + 1);
    RunningTool a({"import-csv", store(), dir.file("a.csv"), "--photos", dir.file("a-photos")});
    RunningTool b({"import-csv", store(), dir.file("b.csv"), "--photos", dir.file("b-photos")});
    const ToolResult ra = a.wait();
    const ToolResult rb = b.wait();
    ASSERT_EQ(ra.exitStatus, 0) << ra.err;
    ASSERT_EQ(rb.exitStatus, 0) << rb.err;

    const ToolResult checked = runTool({"check", store()});
    EXPECT_EQ(checked.exitStatus, 0) << checked.out;

    const ToolResult dumped = runTool({"dump", store()});
    ASSERT_EQ(dumped.exitStatus, 0) << dumped.err;
    const nlohmann::json d = nlohmann::json::parse(dumped.out);
    ASSERT_EQ(d["records"].size(), 2u * kPerProcess);
    EXPECT_EQ(d["next_serial"], 2 * kPerProcess + 1);
    std::set<int> serials, numbers;
    int lastA = 0, lastB = kPerProcess;
    for (const auto& r : d["records"]) {
        serials.insert(r["serial"].get<int>());
        const int n = r["values"][0];
        numbers.insert(n);
        // Each process's students keep their file order.
        int& last = n <= kPerProcess ? lastA : lastB;
        EXPECT_GT(n, last);
        last = n;
        EXPECT_EQ(r["values"][8]["size"], n % 10 == 0 ? 700 : 0) << n;
    }
    EXPECT_EQ(serials.size(), 2u * kPerProcess);
    EXPECT_EQ(*serials.begin(), 1);
    EXPECT_EQ(*serials.rbegin(), 2 * kPerProcess);
    EXPECT_EQ(numbers.size(), 2u * kPerProcess);
}

} // namespace
} // namespace qr::tests
