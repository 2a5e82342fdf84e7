// The seeding of a run directory's empty stores (the build runs it on every build): it makes
// what is missing and never touches a store that exists.
#include "tests/tools/roster_fixture.h"

#include <filesystem>

namespace qr::tests {
namespace {

int installStores(const std::string& runDir) { return runTool({"seed-stores", runDir}).exitStatus; }

TEST_F(RosterTest, RunDirectoryStoresAreMadeOnceAndKept)
{
    ASSERT_EQ(installStores(dir.path()), 0);
    for (const char* name : {"xsdate.edb", "xsdate.EDT", "deldate.edb", "deldate.EDT"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
    EXPECT_EQ(runTool({"check", dir.file("deldate.edb")}).exitStatus, 0);

    std::filesystem::create_directory(dir.file("photos"));
    writeBytesTo(dir.file("photos/1.jpg"), makeJpeg(900, 1));
    importRows({studentRow(1, "A")}, dir.file("photos"));
    const auto data = readBytes(store());
    const auto auxBytes = readBytes(aux());
    ASSERT_EQ(installStores(dir.path()), 0);
    EXPECT_EQ(readBytes(store()), data);
    EXPECT_EQ(readBytes(aux()), auxBytes);

    // Half a store is left for a person to look at, and the other store is still made.
    std::filesystem::remove(dir.file("deldate.edb"));
    std::filesystem::remove(dir.file("deldate.EDT"));
    std::filesystem::remove(dir.file("xsdate.EDT"));
    ASSERT_EQ(installStores(dir.path()), 0);
    EXPECT_EQ(readBytes(store()), data);
    EXPECT_FALSE(std::filesystem::exists(aux()));
    EXPECT_TRUE(std::filesystem::exists(dir.file("deldate.edb")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("deldate.EDT")));
}

} // namespace
} // namespace qr::tests
