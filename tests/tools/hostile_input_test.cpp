// Input that no teacher would give on purpose: devices and pipes where a file belongs,
// files far too large, folders named as stores, an export that cannot be finished and
// a store packed while it is read. Each is refused or undone with one line and the
// documented exit status, never a hang, an abort or a half-written result.
#include "tests/tools/roster_fixture.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>

namespace qr::tests {
namespace {

namespace fs = std::filesystem;

void expectExit(const ToolResult& r, int status, const std::string& words)
{
    EXPECT_EQ(r.exitStatus, status) << r.out << r.err;
    ASSERT_EQ(r.errorLines().size(), 1u) << r.err;
    EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
}

TEST_F(RosterTest, ImportRefusesWhatIsNoRegularFileOrTooLarge)
{
    createRoster();
    const auto data = readBytes(store());
    // A FIFO without a writer would block an ordinary open for ever.
    const std::string fifo = dir.file("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectExit(runTool({"import-csv", store(), fifo}), 2, "not a regular file");
    expectExit(runTool({"import-csv", store(), "/dev/zero"}), 2, "not a regular file");
    expectExit(runTool({"import-csv", store(), dir.path()}), 2, "is a folder");

    const std::string huge = dir.file("huge.csv");
    writeText(huge, kHeadings + "\r\n");
    fs::resize_file(huge, 300u << 20); // sparse: takes no room on disk
    expectExit(runTool({"import-csv", store(), huge}), 2, "larger than the 16 MiB");

    // The same limits hold for the photos of an import.
    writeText(dir.file("in.csv"), kHeadings + "\r\n" + studentRow(1, "A") + "\r\n");
    fs::create_directory(dir.file("photos"));
    ASSERT_EQ(::mkfifo(dir.file("photos/1.jpg").c_str(), 0600), 0);
    expectExit(runTool({"import-csv", store(), dir.file("in.csv"), "--photos", dir.file("photos")}), 2,
               "not a regular file");
    EXPECT_EQ(readBytes(store()), data);
}

TEST_F(RosterTest, CreateSaysWhyItCannotAndRefusesFolders)
{
    ToolResult r = runTool({"create-roster", dir.file("no/such/xsdate.edb")});
    expectExit(r, 2, "No such file or directory");
    EXPECT_EQ(r.err.find("(-2)"), std::string::npos) << r.err;

    for (const std::string& folderName : {dir.file("x/"), dir.file("x/."), dir.path()})
        expectExit(runTool({"create-roster", folderName}), 2, "folder");
    EXPECT_FALSE(fs::exists(dir.file("x")));
    EXPECT_FALSE(fs::exists(dir.file(".EDB")));
    EXPECT_FALSE(fs::exists(dir.file(".EDT")));

    fs::create_directory(dir.file("shut"));
    fs::permissions(dir.file("shut"), fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) // the superuser writes anywhere
        expectExit(runTool({"create-roster", dir.file("shut/xsdate.edb")}), 2, "Permission denied");
    fs::permissions(dir.file("shut"), fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(dir.file("shut")));
}

// Limits the size of files the tool may write, so that its second photo fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN); // a failed write instead of a signal
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(RosterTest, ExportFailingPartWayLeavesNothingBehind)
{
    createRoster();
    fs::create_directory(dir.file("in"));
    writeBytesTo(dir.file("in/1.jpg"), makeJpeg(1000, 1));
    writeBytesTo(dir.file("in/2.jpg"), makeJpeg(200000, 2));
    importRows({studentRow(1, "A"), studentRow(2, "B")}, dir.file("in"));

    ToolResult r;
    {
        const FileSizeLimit limit(100000); // the CSV and photo 1 fit, photo 2 does not
        r = runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("out")});
    }
    expectExit(r, 1, "File too large");
    EXPECT_FALSE(fs::exists(dir.file("out"))) << "the photo folder the export made";
    EXPECT_FALSE(fs::exists(dir.file("out.csv")));
    EXPECT_FALSE(fs::exists(dir.file("out.csv.partial")));

    // Into a folder that was there before: the folder stays, empty.
    fs::create_directory(dir.file("kept"));
    {
        const FileSizeLimit limit(100000);
        r = runTool({"export-csv", store(), dir.file("out.csv"), "--photos", dir.file("kept")});
    }
    EXPECT_EQ(r.exitStatus, 1) << r.err;
    EXPECT_TRUE(fs::is_empty(dir.file("kept")));
    EXPECT_FALSE(fs::exists(dir.file("out.csv")));
}

std::vector<int> serialsOf(const ToolResult& dumped)
{
    std::vector<int> serials;
    const nlohmann::json document = nlohmann::json::parse(dumped.out);
    for (const auto& record : document["records"])
        serials.push_back(record["serial"].get<int>());
    return serials;
}

TEST_F(RosterTest, DumpAndExportReadOneStateWhilePackMovesRecords)
{
    createRoster();
    constexpr int kStudents = 6000;
    std::vector<std::string> rows;
    for (int n = 1; n <= kStudents; ++n)
        rows.push_back(studentRow(n, "S" + std::to_string(n)));
    importRows(rows);
    // Delete every other record through the engine's own tool, as the teacher would.
    // Deleting from the end keeps the record numbers of the rest.
    const std::string before = dir.file("before");
    fs::create_directory(before);
    for (int n = kStudents - 1; n >= 1; n -= 2 * 97) // a sparse spread is enough to move most records
        ASSERT_EQ(runTool({"delete", store(), std::to_string(n)}).exitStatus, 0);
    const ToolResult first = runTool({"dump", store()});
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    const std::vector<int> all = serialsOf(first);
    fs::copy_file(store(), before + "/xsdate.edb");
    fs::copy_file(aux(), before + "/xsdate.EDT");
    ASSERT_EQ(runTool({"pack", store()}).exitStatus, 0);
    const std::vector<int> packed = serialsOf(runTool({"dump", store()}));
    ASSERT_LT(packed.size(), all.size());

    for (int round = 0; round < 6; ++round) {
        fs::copy_file(before + "/xsdate.edb", store(), fs::copy_options::overwrite_existing);
        fs::copy_file(before + "/xsdate.EDT", aux(), fs::copy_options::overwrite_existing);
        RunningTool packing({"pack", store()});
        const ToolResult dumped = runTool({"dump", store()});
        const ToolResult exported = runTool({"export-csv", store(), dir.file("out.csv")});
        ASSERT_EQ(packing.wait().exitStatus, 0);
        ASSERT_EQ(dumped.exitStatus, 0) << "round " << round << ": " << dumped.err;
        const std::vector<int> seen = serialsOf(dumped);
        EXPECT_TRUE(seen == all || seen == packed) << "round " << round << ": " << seen.size() << " records";
        ASSERT_EQ(exported.exitStatus, 0) << "round " << round << ": " << exported.err;
        const std::string csv = readText(dir.file("out.csv"));
        const std::size_t lines = static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n'));
        EXPECT_EQ(lines, packed.size() + 1) << "round " << round; // the live students, once each
        fs::remove(dir.file("out.csv"));
    }
}

} // namespace
} // namespace qr::tests
