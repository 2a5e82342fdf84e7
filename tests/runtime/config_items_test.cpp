#include "runtime/config_items.h"
#include "runtime/gbk.h"

#include "tests/support/file_contents.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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

// A configuration file as a teacher's editor might leave it: comments, blank
// lines, a quoted value, CRLF line endings and no final line break.
const std::string kHandWritten = "; Quillroll settings\r\n"
                                 "\r\n"
                                 "[学校班级]\r\n"
                                 "  date = \"Tarnfield初中2017级1班\"  \r\n"
                                 "DATE=second copy\r\n"
                                 "\r\n"
                                 "[window]\r\n"
                                 "left=10\r\n"
                                 "[学校班级]\r\n"
                                 "date=from the repeated section\r\n"
                                 "extra=only in the repeated section";

class ConfigItems : public ::testing::Test {
protected:
    TempDir dir;
    std::string ini = dir.file("config.ini");
};

TEST_F(ConfigItems, ReadsAHandWrittenFile)
{
    writeWholeFile(ini, kHandWritten);
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date"), "Tarnfield初中2017级1班");
    EXPECT_EQ(readConfigItem(ini, "WINDOW", "Left"), "10");
    // Sections and keys read their first occurrence only.
    EXPECT_EQ(readConfigItem(ini, "学校班级", "extra", "none"), "none");
}

TEST_F(ConfigItems, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date"), "");
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date", "默认"), "默认");
    writeWholeFile(ini, kHandWritten);
    EXPECT_EQ(readConfigItem(ini, "学校", "date", "d"), "d");
    EXPECT_EQ(readConfigItem(ini, "学校班级", "dat", "d"), "d");
    EXPECT_EQ(readConfigItem(ini, "学校班级", "dat"), "");
}

TEST_F(ConfigItems, WhatIsNoRegularFileOrTooLargeIsNeitherWaitedForNorRead)
{
    // A FIFO in the file's place would block an ordinary open until a writer came.
    ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date", "d"), "d");
    EXPECT_FALSE(writeConfigItem(ini, "学校班级", "date", "v"));
    EXPECT_EQ(readConfigItem("/dev/zero", "学校班级", "date", "d"), "d");

    const std::string huge = dir.file("huge.ini");
    writeWholeFile(huge, "[学校班级]\r\ndate=x\r\n");
    std::filesystem::resize_file(huge, 200u << 20); // sparse
    EXPECT_EQ(readConfigItem(huge, "学校班级", "date", "d"), "d");
    EXPECT_FALSE(writeConfigItem(huge, "学校班级", "date", "v"));
    EXPECT_EQ(std::filesystem::file_size(huge), 200u << 20);
}

TEST_F(ConfigItems, LeadingControlBytesAreSkippedAndAnEmptyNameConsultsNothing)
{
    writeWholeFile(ini, kHandWritten);
    EXPECT_EQ(readConfigItem(" \t" + ini, "\x01 学校班级", "\r\n date"), "Tarnfield初中2017级1班");
    // Not even the default comes back: the file is not consulted at all.
    EXPECT_EQ(readConfigItem(ini, "   ", "date", "d"), "");
    EXPECT_EQ(readConfigItem(ini, "学校班级", " \t", "d"), "");
    EXPECT_EQ(readConfigItem("  ", "学校班级", "date", "d"), "");
}

TEST_F(ConfigItems, AnEmptyValueIsAValueAndLongValuesAreCut)
{
    const std::string longValue(kConfigValueLimit + 50, 'x');
    writeWholeFile(ini, "[s]\nempty=\nlong=" + longValue + "\n");
    EXPECT_EQ(readConfigItem(ini, "s", "empty", "d"), "");
    EXPECT_EQ(readConfigItem(ini, "s", "long"), std::string(kConfigValueLimit, 'x'));
}

TEST_F(ConfigItems, WriteCreatesTheFileAndReadsBack)
{
    ASSERT_TRUE(writeConfigItem(ini, "学校班级", "date", "Tarnfield初中2017级1班"));
    EXPECT_EQ(wholeFile(ini), "[学校班级]\r\ndate=Tarnfield初中2017级1班\r\n");
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date"), "Tarnfield初中2017级1班");
    ASSERT_TRUE(writeConfigItem(ini, "学校班级", "date", "  blanks kept  "));
    EXPECT_EQ(wholeFile(ini), "[学校班级]\r\ndate=  blanks kept  \r\n");
}

TEST_F(ConfigItems, WriteKeepsEveryOtherLineOfAHandWrittenFile)
{
    writeWholeFile(ini, kHandWritten);
    ASSERT_TRUE(writeConfigItem(ini, "学校班级", "date", "初一(2)班"));
    std::string expected = kHandWritten;
    expected.replace(expected.find("  date = \"Tarnfield初中2017级1班\"  "),
                     std::string("  date = \"Tarnfield初中2017级1班\"  ").size(), "date=初一(2)班");
    EXPECT_EQ(wholeFile(ini), expected);
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date"), "初一(2)班");

    ASSERT_TRUE(writeConfigItem(ini, "window", "top", "20"));
    EXPECT_NE(wholeFile(ini).find("left=10\r\ntop=20\r\n[学校班级]"), std::string::npos);
    ASSERT_TRUE(writeConfigItem(ini, "new", "k", "v"));
    EXPECT_TRUE(wholeFile(ini).ends_with("repeated section\r\n[new]\r\nk=v")) << wholeFile(ini);
}

TEST_F(ConfigItems, OmittedValueDeletesTheKeyAndOmittedKeyTheSection)
{
    writeWholeFile(ini, kHandWritten);
    ASSERT_TRUE(writeConfigItem(ini, "学校班级", "date", std::nullopt));
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date", "gone"), "gone");
    EXPECT_EQ(readConfigItem(ini, "window", "left"), "10");

    ASSERT_TRUE(writeConfigItem(ini, "学校班级", std::nullopt, std::nullopt));
    EXPECT_EQ(wholeFile(ini), "; Quillroll settings\r\n\r\n[window]\r\nleft=10");
}

TEST_F(ConfigItems, DeletingFromAMissingFileCreatesNothing)
{
    EXPECT_TRUE(writeConfigItem(ini, "学校班级", "date", std::nullopt));
    EXPECT_TRUE(writeConfigItem(ini, "学校班级", std::nullopt, "ignored"));
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(ConfigItems, RefusedWritesLeaveTheFileAlone)
{
    writeWholeFile(ini, kHandWritten);
    EXPECT_FALSE(writeConfigItem(ini, "学校班级", "date", "two\r\nlines"));
    EXPECT_FALSE(writeConfigItem("", "学校班级", "date", "v"));
    EXPECT_FALSE(writeConfigItem(dir.file("no/such/dir/config.ini"), "s", "k", "v"));
    EXPECT_EQ(wholeFile(ini), kHandWritten);
}

TEST_F(ConfigItems, AnUnreadableFileIsNeverReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    writeWholeFile(ini, kHandWritten);
    ::chmod(ini.c_str(), 0);
    EXPECT_FALSE(writeConfigItem(ini, "学校班级", "date", "v"));
    ::chmod(ini.c_str(), 0600);
    EXPECT_EQ(wholeFile(ini), kHandWritten);
}

TEST_F(ConfigItems, WriteReplacesTheFileWholeKeepingModeAndLinks)
{
    writeWholeFile(ini, kHandWritten);
    ::chmod(ini.c_str(), 0640);
    const std::string link = dir.file("link.ini");
    std::filesystem::create_symlink(ini, link);
    ASSERT_TRUE(writeConfigItem(link, "学校班级", "date", "v"));

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readConfigItem(ini, "学校班级", "date"), "v");
    struct stat st {};
    ASSERT_EQ(::stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left beside it.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2u);
}

// A write that fails half-way (the file-size limit stops it) must leave the old
// file whole and no temporary file behind. Run in a child: the limit is per process.
TEST_F(ConfigItems, AFailedWriteLeavesTheOldFileWhole)
{
    writeWholeFile(ini, kHandWritten);
    auto writeUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(kHandWritten.size() + 100),
                           static_cast<rlim_t>(kHandWritten.size() + 100)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = writeConfigItem(ini, "学校班级", "date", std::string(1000, 'x'));
        std::_Exit(written ? 1 : 0);
    };
    // Forked without re-running the test, so the child writes into this test's directory.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(writeUnderLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(wholeFile(ini), kHandWritten);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST_F(ConfigItems, GbkFileNamesMeetTheFileSystemAsUtf8)
{
    const std::string gbkName = dir.path() + "/班级设置.ini";
    ASSERT_TRUE(writeConfigItem(gbkName, "学校班级", "date", "1班"));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(gbkToUtf8(gbkName))));
    EXPECT_EQ(readConfigItem(gbkName, "学校班级", "date"), "1班");
}

} // namespace
} // namespace qr::runtime
