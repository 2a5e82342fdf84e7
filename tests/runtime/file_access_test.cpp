#include "runtime/delay.h"
#include "runtime/directories.h"
#include "runtime/file_access.h"
#include "runtime/gbk.h"

#include "tests/support/file_contents.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::runtime {
namespace {

using test_support::TempDir;
using test_support::wholeFile;
using test_support::writeWholeFile;

ByteSet bytes(std::string_view s) { return ByteSet(s.begin(), s.end()); }

TEST(WriteFile, WritesTheNonEmptyByteSetsInOrderOverWhatWasThere)
{
    TempDir dir;
    const std::string name = dir.file("photo.jpg");
    writeWholeFile(name, "an older and much longer content");
    const ByteSet parts[] = {bytes("ab"), {}, bytes(std::string("\0c", 2)), {}};
    ASSERT_TRUE(writeFile(name, parts));
    EXPECT_EQ(wholeFile(name), std::string("ab\0c", 4));
    EXPECT_EQ(readFile(name), bytes(std::string("ab\0c", 4)));
}

TEST(WriteFile, AnEmptyByteSetCreatesAnEmptyFile)
{
    TempDir dir;
    const std::string name = dir.file("empty.bin");
    ASSERT_TRUE(writeFile(name, ByteSet{}));
    EXPECT_EQ(wholeFile(name), "");
    EXPECT_TRUE(writeFile(dir.file("none.bin"), std::span<const ByteSet>{}));
    EXPECT_EQ(wholeFile(dir.file("none.bin")), "");
}

TEST(WriteFile, FailuresAreFalse)
{
    TempDir dir;
    EXPECT_FALSE(writeFile("", bytes("x")));
    EXPECT_FALSE(writeFile(dir.file("missing/dir/f.bin"), bytes("x")));
    EXPECT_FALSE(writeFile(dir.path(), bytes("x")));
    // A device that refuses every byte: the failed write must not pass as success.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(writeFile("/dev/full", bytes("x")));
    }
}

TEST(WriteFile, AWriteCutShortIsFalseAndLeavesWhatWasWritten)
{
    TempDir dir;
    const std::string name = dir.file("big.bin");
    auto writeUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const ByteSet parts[] = {ByteSet(3000, 'a'), ByteSet(3000, 'b')};
        std::_Exit(writeFile(name, parts) ? 1 : 0);
    };
    // Forked without re-running the test, so the child writes into this test's directory.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(writeUnderLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(wholeFile(name), std::string(3000, 'a') + std::string(1096, 'b'));
}

TEST(ReadFile, MissingEmptyAndUnopenableFilesGiveTheEmptyByteSet)
{
    TempDir dir;
    EXPECT_EQ(readFile(""), ByteSet{});
    EXPECT_EQ(readFile(dir.file("missing")), ByteSet{});
    writeWholeFile(dir.file("empty"), "");
    EXPECT_EQ(readFile(dir.file("empty")), ByteSet{});
    EXPECT_EQ(readFile(dir.path()), ByteSet{});
    // Neither a FIFO without writer nor an endless device is waited for or read.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(readFile(dir.file("pipe")), ByteSet{});
    EXPECT_EQ(readFile("/dev/zero"), ByteSet{});
}

TEST(ReadFile, GbkNamesAndLargeContent)
{
    TempDir dir;
    const std::string gbkName = dir.path() + "/照片.jpg";
    std::string content(300000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(writeFile(gbkName, bytes(content)));
    EXPECT_EQ(wholeFile(gbkToUtf8(gbkName)), content);
    EXPECT_EQ(readFile(gbkName), bytes(content));
}

TEST(Directories, RunDirectoryIsWhereTheProgramLives)
{
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(gbkToUtf8(runDirectory()), self.parent_path().string());
    EXPECT_EQ(gbkToUtf8(programFileName()), self.filename().string());
    EXPECT_NE(runDirectory().back(), '/');

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path("/");
    ASSERT_TRUE(setUpRunDirectory());
    EXPECT_EQ(currentDirectory(), runDirectory());
    std::filesystem::current_path(before);
    EXPECT_EQ(gbkToUtf8(currentDirectory()), before.string());
}

TEST(Delay, WaitsAtLeastTheGivenTimeAndTreatsNegativeAsZero)
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    delay(30);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
    // A negative count must not turn into a huge unsigned wait.
    start = Clock::now();
    delay(-5);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace qr::runtime
