#include "crash_driver.h"

#include "store/check/consistency_check.h"
#include "store/commands.h"
#include "store/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace qr::store::testing {
namespace {

using Image = std::optional<std::vector<std::uint8_t>>; // none: no such file

Image imageOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putImage(const std::string& path, const Image& image)
{
    std::error_code ignored;
    if (!image) {
        std::filesystem::remove(path, ignored);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image->data()), static_cast<std::streamsize>(image->size()));
}

struct StoreImage {
    Image data;
    Image aux;
    friend bool operator==(const StoreImage&, const StoreImage&) = default;
};

std::vector<StoreImage> imagesOf(const std::vector<std::string>& stores)
{
    std::vector<StoreImage> images;
    for (const std::string& s : stores)
        images.push_back({imageOf(s), imageOf(auxiliaryPath(s))});
    return images;
}

void restore(const std::vector<std::string>& stores, const std::vector<StoreImage>& images)
{
    for (std::size_t i = 0; i < stores.size(); ++i) {
        putImage(stores[i], images[i].data);
        putImage(auxiliaryPath(stores[i]), images[i].aux);
        putImage(journalPath(stores[i]), std::nullopt);
    }
}

} // namespace

CrashDrive driveCrashes(FaultEnv& env, const std::vector<std::string>& stores, const std::function<void()>& action)
{
    CrashDrive drive;
    const std::vector<StoreImage> before = imagesOf(stores);
    env.startRecording();
    action();
    drive.changes = env.changes();
    env.stopRecording();
    const std::vector<StoreImage> after = imagesOf(stores);
    EXPECT_NE(before, after) << "the action changed nothing";

    for (int k = 1; k <= drive.changes; ++k) {
        for (const bool powerCut : {true, false}) {
            SCOPED_TRACE("crash after change " + std::to_string(k) + " of " + std::to_string(drive.changes) +
                         (powerCut ? ", power cut" : ", process killed"));
            restore(stores, before);
            env.startRecording();
            env.crashAfter(k);
            action();
            if (powerCut)
                env.loseUnsyncedChanges();
            else
                env.stopRecording();
            ++drive.crashes;

            std::vector<bool> outcome;
            for (std::size_t i = 0; i < stores.size(); ++i) {
                const std::string& path = stores[i];
                // The open rolls back what the crash left.
                EXPECT_TRUE(openStore(path)) << path << ": " << lastError();
                closeStore(path);
                EXPECT_FALSE(std::filesystem::exists(journalPath(path))) << path;
                const StoreImage now{imageOf(path), imageOf(auxiliaryPath(path))};
                const bool isBefore = now == before[i];
                const bool isAfter = now == after[i];
                EXPECT_TRUE(isBefore || isAfter) << path << " is neither as before nor as after";
                const CheckReport report = checkStore(path);
                EXPECT_EQ(report.openResult, rc::kOk) << path;
                EXPECT_EQ(report.problems, std::vector<std::string>{}) << path;
                outcome.push_back(isAfter && !isBefore);
            }
            drive.outcomes.push_back(outcome);
            if (::testing::Test::HasFailure())
                return drive; // one broken crash point tells enough
        }
    }
    // Leave the stores as the action leaves them.
    restore(stores, after);
    return drive;
}

} // namespace qr::store::testing
