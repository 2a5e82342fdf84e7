// When a photo file is large, the size a shrunk copy gets, and the size as the
// question shows it.
#include "roster/photo_size.h"

#include <gtest/gtest.h>

namespace qr::roster {
namespace {

TEST(PhotoSize, OnlyFilesAboveOneMebibyteAreLarge)
{
    EXPECT_FALSE(photoIsLarge(0));
    EXPECT_FALSE(photoIsLarge(1'000'000));
    EXPECT_FALSE(photoIsLarge(1'048'576));
    EXPECT_TRUE(photoIsLarge(1'048'577));
    EXPECT_TRUE(photoIsLarge(std::uint64_t(5) << 32)); // beyond 32 bits
}

TEST(PhotoSize, TheLongerSideComesDownToSixHundredWithTheAspectRatio)
{
    EXPECT_EQ(shrunkPhotoSize({4000, 3000}), (PixelSize{600, 450}));
    EXPECT_EQ(shrunkPhotoSize({3000, 4000}), (PixelSize{450, 600}));
    EXPECT_EQ(shrunkPhotoSize({1200, 1200}), (PixelSize{600, 600}));
    // 1000 x 333 -> 199.8, rounded to the nearest pixel.
    EXPECT_EQ(shrunkPhotoSize({1000, 333}), (PixelSize{600, 200}));
    EXPECT_EQ(shrunkPhotoSize({601, 301}), (PixelSize{600, 300})); // 300.499
    // A thin strip keeps at least one pixel.
    EXPECT_EQ(shrunkPhotoSize({16000, 1}), (PixelSize{600, 1}));
    // The largest sides do not overflow.
    EXPECT_EQ(shrunkPhotoSize({2'000'000'000, 1'000'000'000}), (PixelSize{600, 300}));
}

TEST(PhotoSize, APictureThatFitsIsNeverEnlarged)
{
    EXPECT_EQ(shrunkPhotoSize({600, 400}), (PixelSize{600, 400}));
    EXPECT_EQ(shrunkPhotoSize({590, 500}), (PixelSize{590, 500}));
    EXPECT_EQ(shrunkPhotoSize({1, 1}), (PixelSize{1, 1}));
    EXPECT_EQ(shrunkPhotoSize({0, 900}), (PixelSize{0, 900}));
}

TEST(PhotoSize, MegabytesHaveOneDecimalRoundedHalfUp)
{
    EXPECT_EQ(megabytesText(1'048'577), "1.0");
    EXPECT_EQ(megabytesText(3'355'443), "3.2"); // 3.19999 MiB
    EXPECT_EQ(megabytesText(1'101'005), "1.1"); // 1.05000 MiB, just above the half
    EXPECT_EQ(megabytesText(1'101'004), "1.0");
    EXPECT_EQ(megabytesText(10 * 1'048'576), "10.0");
    EXPECT_EQ(megabytesText(1'048'576 * 2 - 1), "2.0");
}

} // namespace
} // namespace qr::roster
