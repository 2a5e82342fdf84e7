// The program's run place as a teacher meets it, in separate processes: a run
// directory copied elsewhere (the original gone) still exports and imports, and a
// program laid out as installed keeps its files in the user's data folder.
#include "tests/support/file_contents.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"
#include "xlsodbc/driver_registration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

using qr::test_support::shellQuoted;

// Runs a shell command; its exit status, with what it printed (both streams) in `output`.
int run(const std::string& command, std::string& output)
{
    int status = -1;
    output = qr::test_support::runShell(command + " 2>&1", status);
    return status;
}

// A run directory as the build makes one: the program (here the round-trip client,
// which settles its run place exactly as the program does), the driver, the stores.
void makeRunDirectory(const fs::path& dir)
{
    fs::create_directories(dir);
    fs::copy_file(QR_ROUND_TRIP, dir / "qr_sheet_round_trip");
    fs::copy_file(QR_XLS_DRIVER_FILE, dir / "libqrxlsodbc.so");
    std::string output;
    ASSERT_EQ(run(std::string(QR_STORE_TOOL) + " seed-stores " + shellQuoted(dir.string()), output), 0) << output;
}

std::string registeredDriver(const fs::path& dir)
{
    return qr::test_support::wholeFile((dir / "odbcinst.ini").string());
}

TEST(RunPlace, ACopiedRunDirectoryWorksWithTheOriginalGone)
{
    qr::test_support::TempDir scratch;
    const fs::path original = fs::path(scratch.path()) / "build" / "run";
    makeRunDirectory(original);
    std::string output;
    ASSERT_EQ(run(shellQuoted((original / "qr_sheet_round_trip").string()) + " " + shellQuoted(scratch.path()), output),
              0)
        << output;
    EXPECT_NE(output.find("(portable)"), std::string::npos) << output;
    ASSERT_NE(registeredDriver(original).find(original.string()), std::string::npos);

    // The copy carries the original's odbcinst.ini, naming the original's driver.
    const fs::path copy = fs::path(scratch.path()) / fs::path(u8"U 盘") / fs::path(u8"花名册");
    fs::create_directories(copy.parent_path());
    fs::copy(original, copy, fs::copy_options::recursive);
    fs::remove_all(fs::path(scratch.path()) / "build");
    ASSERT_FALSE(fs::exists(original));

    ASSERT_EQ(run(shellQuoted((copy / "qr_sheet_round_trip").string()) + " " + shellQuoted(scratch.path()), output), 0)
        << output;
    EXPECT_EQ(registeredDriver(copy), qr::xls::registrationText((copy / "libqrxlsodbc.so").string()));
    for (const auto& entry : fs::directory_iterator(copy))
        EXPECT_EQ(entry.path().filename().string().rfind(".odbcinst", 0), std::string::npos) << "left behind";
}

TEST(RunPlace, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder)
{
    qr::test_support::TempDir scratch;
    const fs::path prefix = fs::path(scratch.path()) / "usr";
    const fs::path home = fs::path(scratch.path()) / "home";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib" / QR_MULTIARCH / "quillroll");
    fs::create_directories(home);
    fs::copy_file(QR_ROUND_TRIP, prefix / "bin" / "qr_sheet_round_trip");
    fs::copy_file(QR_XLS_DRIVER_FILE, prefix / "lib" / QR_MULTIARCH / "quillroll" / "libqrxlsodbc.so");
    std::string output;
    const fs::path seeds = prefix / "share" / "quillroll";
    fs::create_directories(seeds);
    ASSERT_EQ(run(std::string(QR_STORE_TOOL) + " seed-stores " + shellQuoted(seeds.string()), output), 0) << output;

    const std::string start = "env -u XDG_DATA_HOME HOME=" + shellQuoted(home.string()) + " " +
                              shellQuoted((prefix / "bin" / "qr_sheet_round_trip").string()) + " " +
                              shellQuoted(scratch.path());
    ASSERT_EQ(run(start, output), 0) << output;
    EXPECT_NE(output.find("(installed)"), std::string::npos) << output;

    const fs::path data = home / ".local" / "share" / "quillroll";
    for (const char* file : {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"})
        EXPECT_EQ(qr::test_support::wholeFile((data / file).string()),
                  qr::test_support::wholeFile((seeds / file).string()))
            << file;
    EXPECT_EQ(registeredDriver(data),
              qr::xls::registrationText((prefix / "lib" / QR_MULTIARCH / "quillroll" / "libqrxlsodbc.so").string()));
    EXPECT_EQ(fs::status(data).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(prefix / "bin" / "odbcinst.ini"));

    // A second start finds the teacher's files and leaves them exactly as they are.
    const fs::path roster = data / "xsdate.edb";
    qr::test_support::writeWholeFile(roster.string(), std::string("the teacher's roster"));
    fs::remove(data / "deldate.EDT");
    ASSERT_EQ(run(start, output), 0) << output;
    EXPECT_EQ(qr::test_support::wholeFile(roster.string()), "the teacher's roster");
    EXPECT_FALSE(fs::exists(data / "deldate.EDT")) << "half a store is not ours to complete";
}

} // namespace
