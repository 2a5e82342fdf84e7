// Saving a workbook file: the messages a failed save gives (they reach the
// application through the connection's diagnostics), and what becomes of a link.
#include "tests/xlsodbc/test_files.h"
#include "xlsodbc/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qr::xls::testing {
namespace {

TEST(WorkbookFile, AFailedSaveSaysWhichStepFailed)
{
    TempDir dir;
    std::string error;
    EXPECT_FALSE(replaceFile(dir.file("gone/book.xls"), {1, 2, 3}, error));
    EXPECT_EQ(error, "cannot create a temporary file next to it: No such file or directory");

    std::filesystem::create_directory(dir.file("book.xls"));
    error.clear();
    EXPECT_FALSE(replaceFile(dir.file("book.xls"), {1, 2, 3}, error));
    EXPECT_EQ(error, "cannot write it: Is a directory");
}

TEST(WorkbookFile, ASaveThroughALinkReplacesTheLink)
{
    TempDir dir;
    const std::string target = dir.file("target.xls"), link = dir.file("link.xls");
    writeFile(target, {1});
    std::filesystem::create_symlink(target, link);
    std::string error;
    ASSERT_TRUE(replaceFile(link, {2, 3}, error)) << error;
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(link), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(readFile(target), (std::vector<std::uint8_t>{1}));
}

} // namespace
} // namespace qr::xls::testing
