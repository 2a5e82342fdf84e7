// Replacing a file whole: the link handling each caller asks for, the permission
// bits, and where a failed replacement says it failed (the driver's messages are
// built from that).
#include "runtime/file_io.h"

#include "tests/support/file_contents.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace qr::runtime {
namespace {

using test_support::TempDir;
using test_support::wholeFile;
using test_support::writeWholeFile;

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::size_t entriesIn(const std::string& dir)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

TEST(ReplaceFile, FollowsALinkOrReplacesItAsAsked)
{
    TempDir dir;
    const std::string target = dir.file("target.xls"), link = dir.file("link.xls");
    writeWholeFile(target, "old");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, link);

    ASSERT_TRUE(replaceFileAtomically(link, "through the link"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(wholeFile(target), "through the link");
    EXPECT_EQ(modeOf(target), 0640u);

    ASSERT_TRUE(replaceFileAtomically(link, "in its place", LinkHandling::ReplaceLink));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(wholeFile(link), "in its place");
    EXPECT_EQ(modeOf(link), 0640u); // the bits of the file it pointed at
    EXPECT_EQ(wholeFile(target), "through the link");
    EXPECT_EQ(entriesIn(dir.path()), 2u); // no temporary file left
}

TEST(ReplaceFile, ANewFileGetsTheUmaskedDefault)
{
    TempDir dir;
    const mode_t mask = ::umask(027);
    const bool made = replaceFileAtomically(dir.file("new.ini"), "x");
    ::umask(mask);
    ASSERT_TRUE(made);
    EXPECT_EQ(modeOf(dir.file("new.ini")), 0640u);
}

TEST(ReplaceFile, AFailureSaysWhereAndLeavesNothingBehind)
{
    TempDir dir;
    ReplaceFailure failure;
    for (LinkHandling links : {LinkHandling::ReplaceTarget, LinkHandling::ReplaceLink}) {
        failure = {};
        EXPECT_FALSE(replaceFileAtomically(dir.file("no-such-folder/book.xls"), "x", links, &failure));
        EXPECT_EQ(failure.step, ReplaceFailure::Step::CreatingTemporary);
        EXPECT_EQ(failure.error, ENOENT);
    }

    // A directory in the way: the temporary file is written, the rename fails.
    std::filesystem::create_directory(dir.file("folder"));
    failure = {};
    EXPECT_FALSE(replaceFileAtomically(dir.file("folder"), "x", LinkHandling::ReplaceLink, &failure));
    EXPECT_EQ(failure.step, ReplaceFailure::Step::Writing);
    EXPECT_EQ(failure.error, EISDIR);
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    // A link loop cannot be followed, only replaced.
    std::filesystem::create_symlink(dir.file("b"), dir.file("a"));
    std::filesystem::create_symlink(dir.file("a"), dir.file("b"));
    failure = {};
    EXPECT_FALSE(replaceFileAtomically(dir.file("a"), "x", LinkHandling::ReplaceTarget, &failure));
    EXPECT_EQ(failure.step, ReplaceFailure::Step::ResolvingPath);
    EXPECT_EQ(failure.error, ELOOP);
    ASSERT_TRUE(replaceFileAtomically(dir.file("a"), "x", LinkHandling::ReplaceLink));
    EXPECT_EQ(wholeFile(dir.file("a")), "x");
}

} // namespace
} // namespace qr::runtime
