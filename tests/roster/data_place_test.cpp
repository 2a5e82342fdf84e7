// Where the program keeps the teacher's files: the choice between its own folder and
// the user's data folder, and the first start's seeding, which never replaces a file.
#include "roster/data_place.h"

#include "roster/store_layout.h"
#include "store/commands.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace qr::roster {
namespace {

namespace fs = std::filesystem;
using test_support::wholeFile;
using test_support::writeWholeFile;

class DataPlaceTest : public ::testing::Test {
protected:
    fs::path root() const { return scratch_.path(); }
    fs::path bin() const { return root() / "usr" / "bin"; }
    fs::path seeds() const { return root() / "usr" / "share" / "quillroll"; }
    fs::path home() const { return root() / "home" / "teacher"; }
    fs::path data() const { return home() / ".local" / "share" / "quillroll"; }
    PlaceEnvironment environment() const { return {std::nullopt, home().string()}; }

    // A store made by the store itself, in `dir`.
    static void makeStore(const fs::path& dir, const char* file)
    {
        fs::create_directories(dir);
        ASSERT_TRUE(store::createStore((dir / file).string(), rosterFieldSpecs()));
    }
    void makeSeeds()
    {
        makeStore(seeds(), "xsdate.edb");
        makeStore(seeds(), "deldate.edb");
        // Seeds the test can tell from a store made anew.
        writeWholeFile((seeds() / "xsdate.EDT").string(), wholeFile((seeds() / "xsdate.EDT").string()) + "seed");
    }
    DataPlace installed() const { return chooseDataPlace(bin().string(), environment()); }
    static bool holdsRosterLayout(const fs::path& file)
    {
        if (!store::openStore(file.string()))
            return false;
        store::StoreInfo info;
        std::string why;
        const bool fits = store::currentStoreInfo(info) && isRosterLayout(info, why);
        store::closeStore();
        return fits;
    }

    test_support::TempDir scratch_;
};

TEST_F(DataPlaceTest, AWritableFolderHoldingTheStoresIsPortable)
{
    fs::create_directories(bin());
    makeStore(bin(), "xsdate.edb");
    const DataPlace place = chooseDataPlace(bin().string(), environment());
    EXPECT_TRUE(place.portable);
    EXPECT_EQ(place.directory, bin().string());
    std::string problem;
    EXPECT_TRUE(prepareDataPlace(place, problem)) << problem;
    EXPECT_FALSE(fs::exists(home())) << "a portable copy touches nothing outside its folder";
}

TEST_F(DataPlaceTest, AProgramWithoutStoresKeepsItsFilesInTheUsersDataFolder)
{
    fs::create_directories(bin());
    makeSeeds();
    DataPlace place = installed();
    EXPECT_FALSE(place.portable);
    EXPECT_EQ(place.directory, data().string());
    EXPECT_EQ(place.seedDirectory, seeds().string());

    place = chooseDataPlace(bin().string(), {(root() / "xdg/").string(), home().string()});
    EXPECT_EQ(place.directory, (root() / "xdg" / "quillroll").string());
    // A relative XDG_DATA_HOME is invalid by the convention and ignored.
    place = chooseDataPlace(bin().string(), {"relative/data", home().string()});
    EXPECT_EQ(place.directory, data().string());
}

TEST_F(DataPlaceTest, TheFirstStartCopiesTheSeedsIntoAPrivateFolder)
{
    fs::create_directories(bin());
    makeSeeds();
    std::string problem;
    ASSERT_TRUE(prepareDataPlace(installed(), problem)) << problem;
    for (const char* file : {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"})
        EXPECT_EQ(wholeFile((data() / file).string()), wholeFile((seeds() / file).string())) << file;
    EXPECT_EQ(fs::status(data()).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const auto& entry : fs::directory_iterator(data()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path() << " left behind";
}

TEST_F(DataPlaceTest, WithoutSeedsNewEmptyStoresAreMade)
{
    fs::create_directories(bin());
    std::string problem;
    ASSERT_TRUE(prepareDataPlace(installed(), problem)) << problem;
    EXPECT_TRUE(holdsRosterLayout(data() / "xsdate.edb"));
    EXPECT_TRUE(holdsRosterLayout(data() / "deldate.edb"));
}

TEST_F(DataPlaceTest, FilesThatExistAreNeverReplacedOrCompleted)
{
    fs::create_directories(bin());
    makeSeeds();
    fs::create_directories(data());
    writeWholeFile((data() / "xsdate.edb").string(), std::string("the teacher's roster"));
    writeWholeFile((data() / "xsdate.EDT").string(), std::string("the teacher's memos"));
    writeWholeFile((data() / "deldate.EDT").string(), std::string("half a recycle store"));
    std::string problem;
    ASSERT_TRUE(prepareDataPlace(installed(), problem)) << problem;
    EXPECT_EQ(wholeFile((data() / "xsdate.edb").string()), "the teacher's roster");
    EXPECT_EQ(wholeFile((data() / "xsdate.EDT").string()), "the teacher's memos");
    EXPECT_EQ(wholeFile((data() / "deldate.EDT").string()), "half a recycle store");
    EXPECT_FALSE(fs::exists(data() / "deldate.edb"));
}

TEST_F(DataPlaceTest, ASeedCutOffBetweenItsTwoFilesIsFinished)
{
    fs::create_directories(bin());
    makeSeeds();
    fs::create_directories(data());
    // The auxiliary file goes in first: a start that died then left only it, and the
    // hidden copy of the data file.
    fs::copy_file(seeds() / "xsdate.EDT", data() / "xsdate.EDT");
    writeWholeFile((data() / ".seed-xsdate.edb").string(), std::string("torn"));
    std::string problem;
    ASSERT_TRUE(prepareDataPlace(installed(), problem)) << problem;
    EXPECT_EQ(wholeFile((data() / "xsdate.edb").string()), wholeFile((seeds() / "xsdate.edb").string()));
    EXPECT_FALSE(fs::exists(data() / ".seed-xsdate.edb"));
}

TEST_F(DataPlaceTest, AFolderThatCannotBeMadeIsReported)
{
    fs::create_directories(bin());
    fs::create_directories(home().parent_path());
    writeWholeFile(home().string(), std::string("a file where the home folder should be"));
    std::string problem;
    EXPECT_FALSE(prepareDataPlace(installed(), problem));
    EXPECT_NE(problem.find("cannot make the folder"), std::string::npos) << problem;

    DataPlace nowhere;
    EXPECT_FALSE(prepareDataPlace(nowhere, problem));
    EXPECT_NE(problem.find("HOME"), std::string::npos) << problem;
}

TEST_F(DataPlaceTest, AReadOnlyPortableCopySeedsTheUsersFolderFromItself)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write everywhere";
    fs::create_directories(bin());
    makeStore(bin(), "xsdate.edb");
    fs::permissions(bin(), fs::perms::owner_read | fs::perms::owner_exec);
    const DataPlace place = chooseDataPlace(bin().string(), environment());
    EXPECT_FALSE(place.portable);
    EXPECT_EQ(place.seedDirectory, bin().string());
}

} // namespace
} // namespace qr::roster
