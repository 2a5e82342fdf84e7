// Backups before clearing a store, and a store that cannot be opened said so, in
// the main and the deleted-students window.
#include "tests/app/app_fixture.h"

#include "app/component_ids.h"
#include "app/messages.h"
#include "forms/registry/window_registry.h"
#include "roster/backup_folder.h"
#include "runtime/gbk.h"
#include "store/commands.h"
#include "tests/store/fault_env.h"
#include "tests/support/file_bytes.h"

#include <filesystem>
#include <map>

namespace qr::app::test {
namespace {

namespace fs = std::filesystem;
using runtime::PressedButton;

constexpr const char* kStoreFileNames[] = {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"};
constexpr int kPhotoField = 9;

using FileSet = std::map<std::string, std::vector<std::uint8_t>>;

class BackupTest : public AppTest {
protected:
    void TearDown() override
    {
        store::setStoreEnv(nullptr);
        AppTest::TearDown();
    }

    FileSet storeFiles(const fs::path& folder) const
    {
        FileSet files;
        for (const char* name : kStoreFileNames) {
            if (fs::exists(folder / name))
                files[name] = tests::readBytes((folder / name).string());
        }
        return files;
    }
    std::vector<std::string> backups() const { return roster::listBackups(runtime::utf8ToGbk(dir().string())); }
    fs::path backupFolder(const std::string& name) const { return dir() / "backups" / name; }

    void seedBoth()
    {
        seed(rosterPath(), {sampleStudent(1, "在甲"), sampleStudent(2, "在乙")});
        seed(recyclePath(), {sampleStudent(1, "删甲")});
    }
    void clearRosterAnsweringYes()
    {
        answer(PressedButton::Yes);
        answer(PressedButton::Yes);
        clickToolbar(kMainWindow, "工具条1", 0);
        settle();
    }
    void openDeletedWindow()
    {
        clickToolbar(kMainWindow, "工具条1", 7);
        settle();
        ASSERT_TRUE(forms::isLoaded(kDeletedWindow));
    }
    // Where record `record`'s photo reference lies in a data file, from its header.
    static std::size_t photoReferencePosition(const std::string& dataFile, int record)
    {
        const std::int32_t fieldCount = tests::readInt32At(dataFile, 112);
        const std::int32_t recordLength = tests::readInt32At(dataFile, 24);
        const std::int32_t offset = tests::readInt32At(dataFile, 116 + 72 * (kPhotoField - 1) + 24);
        return 116 + 72 * static_cast<std::size_t>(fieldCount) +
               static_cast<std::size_t>(recordLength) * static_cast<std::size_t>(record - 1) +
               static_cast<std::size_t>(offset);
    }
    std::string pathText(const std::string& path) const { return runtime::utf8ToGbk(path); }
};

TEST_F(BackupTest, ClearRosterIsBackedUpFirstWithTheQuestionsUnchanged)
{
    seedBoth();
    enterMainWindow();
    const FileSet before = storeFiles(dir());
    ASSERT_EQ(before.size(), 4u);
    forgetBoxes();
    clearRosterAnsweringYes();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{std::string(text::kAskClear), std::string(text::kAskClearAgain),
                                                    std::string(text::kCleared)}));
    EXPECT_TRUE(readAll(rosterPath()).empty());
    const auto names = backups();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(storeFiles(backupFolder(names[0])), before);
    // Only completed backups are in the folder: no hidden leftovers.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir() / "backups"), fs::directory_iterator()), 1);
}

TEST_F(BackupTest, ClearRecycleStoreIsBackedUpFirst)
{
    seedBoth();
    enterMainWindow();
    openDeletedWindow();
    const FileSet before = storeFiles(dir());
    forgetBoxes();
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickToolbar(kDeletedWindow, "工具条1", 0);
    settle();
    EXPECT_EQ(boxTexts().back(), text::kCleared);
    EXPECT_TRUE(readAll(recyclePath()).empty());
    const auto names = backups();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(storeFiles(backupFolder(names[0])), before);
}

TEST_F(BackupTest, AnswerOtherThanYesMakesNoBackup)
{
    seedBoth();
    enterMainWindow();
    answer(PressedButton::Yes); // the second question gets No
    clickToolbar(kMainWindow, "工具条1", 0);
    settle();
    EXPECT_TRUE(backups().empty());
    EXPECT_EQ(readAll(rosterPath()).size(), 2u);
}

TEST_F(BackupTest, OnlyTheNewestTwentyAreKeptAndTwoInOneSecondBothStay)
{
    seedBoth();
    enterMainWindow();
    for (int k = 0; k < 22; ++k) {
        const std::string name = "20000101-0000" + std::string(k < 10 ? "0" : "") + std::to_string(k);
        fs::create_directories(backupFolder(name));
        tests::writeText((backupFolder(name) / "xsdate.edb").string(), "old");
    }
    clearRosterAnsweringYes();
    clearRosterAnsweringYes(); // very likely in the same second as the first
    const auto names = backups();
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names.front(), "20000101-000004");
    EXPECT_LT(names[18], names[19]);
    EXPECT_NE(names[18].substr(0, 4), "2000");
    // The later backup holds the store the first clear left: empty roster, recycle unchanged.
    EXPECT_EQ(storeFiles(backupFolder(names[19])).at("deldate.EDT"),
              tests::readBytes((dir() / "deldate.EDT").string()));
}

TEST_F(BackupTest, AFailedBackupStopsTheClearAndSaysSo)
{
    seedBoth();
    enterMainWindow();
    const FileSet before = storeFiles(dir());
    tests::writeText((dir() / "backups").string(), "a file where the folder should be");
    forgetBoxes();
    clearRosterAnsweringYes();
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[2].text, text::kBackupFailed);
    EXPECT_EQ(boxes()[2].flags, 48u);
    EXPECT_EQ(storeFiles(dir()), before);

    // A disk that fails while the copies are written: no half backup is left with a name.
    fs::remove(dir() / "backups");
    store::testing::FaultEnv faults;
    faults.failWritesAfter(".EDT", 1);
    store::setStoreEnv(&faults);
    forgetBoxes();
    openDeletedWindow();
    answer(PressedButton::Yes);
    answer(PressedButton::Yes);
    clickToolbar(kDeletedWindow, "工具条1", 0);
    settle();
    store::setStoreEnv(nullptr);
    EXPECT_GT(faults.failures(), 0);
    EXPECT_EQ(boxTexts().back(), text::kBackupFailed);
    EXPECT_EQ(storeFiles(dir()), before);
    EXPECT_TRUE(backups().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir() / "backups"), fs::directory_iterator()), 0);
}

TEST_F(BackupTest, AMissingStoreIsNotAnEmptyClass)
{
    seedBoth();
    enterMainWindow();
    removeStore(rosterPath());
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_EQ(boxes()[0].title, text::kStoreTroubleTitle);
    EXPECT_EQ(boxes()[0].text,
              std::string(text::kRosterUnopenable) + pathText(rosterPath()) + std::string(text::kRosterUnopenableHint));
    EXPECT_EQ(rowCount(kMainWindow), 0);
}

TEST_F(BackupTest, ADamagedStoreNamesTheNewestBackupAndItsCommand)
{
    seedBoth();
    enterMainWindow();
    clearRosterAnsweringYes();
    clearRosterAnsweringYes();
    const auto names = backups();
    ASSERT_EQ(names.size(), 2u);
    tests::writeText(rosterPath(), "not a store at all");
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", 1);
    ASSERT_EQ(boxes().size(), 1u);
    const std::string& shown = boxes()[0].text;
    EXPECT_EQ(shown.find(std::string(text::kRosterUnopenable) + pathText(rosterPath())), 0u) << shown;
    EXPECT_NE(shown.find(std::string(text::kNewestBackup) + names[1]), std::string::npos) << shown;
    const std::string command = "quillroll-store restore " + names[1];
    ASSERT_GE(shown.size(), command.size());
    EXPECT_EQ(shown.substr(shown.size() - command.size()), command) << shown;
    EXPECT_EQ(boxes()[0].flags, 48u);
}

TEST_F(BackupTest, TheDeletedStudentsWindowSaysSoForTheRecycleStore)
{
    seedBoth();
    enterMainWindow();
    removeStore(recyclePath());
    forgetBoxes();
    openDeletedWindow();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].flags, 48u);
    EXPECT_EQ(boxes()[0].text, std::string(text::kRecycleUnopenable) + pathText(recyclePath()) +
                                   std::string(text::kRecycleUnopenableHint));
    EXPECT_EQ(rowCount(kDeletedWindow), 0);
}

TEST_F(BackupTest, AnInconsistentStoreThatOpensIsListedAsItIs)
{
    seedBoth();
    // Student 2 forgets its photo: its blocks are lost, which the check reports.
    tests::patchInt32(rosterPath(), photoReferencePosition(rosterPath(), 2), 0);
    tests::patchInt32(recyclePath(), photoReferencePosition(recyclePath(), 1), 0);
    ASSERT_FALSE(checkClean(rosterPath()));
    ASSERT_FALSE(checkClean(recyclePath()));
    enterMainWindow();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(rowCount(kMainWindow), 2);
    openDeletedWindow();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(rowCount(kDeletedWindow), 1);
}

TEST_F(BackupTest, AnEmptyStoreKeepsItsMessagesWhenBackupsExist)
{
    seedBoth();
    enterMainWindow();
    clearRosterAnsweringYes();
    ASSERT_EQ(backups().size(), 1u);
    forgetBoxes();
    clickToolbar(kMainWindow, "工具条1", 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, text::kNoStudents);
    EXPECT_EQ(boxes()[0].title, text::kNoStudentsTitle);
    EXPECT_EQ(boxes()[0].flags, 48u);
    store::openStore(runtime::utf8ToGbk(recyclePath()));
    store::clearStore();
    store::closeStore();
    forgetBoxes();
    openDeletedWindow();
    EXPECT_TRUE(boxes().empty());
}

} // namespace
} // namespace qr::app::test
