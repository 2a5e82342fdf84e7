// Damaged template stores: cut short at every length or with wrong lengths inside, a
// store is refused (and at start-up ends the program with the fatal report), and no
// read ever leaves the data. Run under the sanitizers to catch the latter.

#include "app/catalogue/catalogue.h"
#include "forms/template/template_reader.h"
#include "forms/template/template_writer.h"
#include "runtime/coding.h"
#include "template_sample_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace qr::forms {
namespace {

Bytes sampleBytes() { return *buildTemplateStore(testing::sampleStore()); }

Bytes catalogueBytes()
{
    const auto span = catalogue::templateStoreBytes();
    return Bytes(span.begin(), span.end());
}

// Parses a copy of exactly `length` bytes, so that reading past it is an out-of-bounds
// access the address sanitizer reports.
bool parsesCut(const Bytes& bytes, std::size_t length, StoreReadFailure* failure = nullptr)
{
    const auto copy = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(length, 1));
    std::memcpy(copy.get(), bytes.data(), length);
    TemplateStore out;
    return parseTemplateStore(std::span<const std::uint8_t>(copy.get(), length), out, failure);
}

void putU32(Bytes& b, std::size_t at, std::uint32_t v) { runtime::putU32(b.data() + at, v); }
std::uint32_t u32At(const Bytes& b, std::size_t at) { return runtime::getU32(b.data() + at); }

TEST(TemplateDamage, SampleStoreCutAtEveryLength)
{
    const Bytes bytes = sampleBytes();
    ASSERT_TRUE(parsesCut(bytes, bytes.size()));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        StoreReadFailure failure;
        EXPECT_FALSE(parsesCut(bytes, length, &failure)) << length;
        EXPECT_LE(failure.offset, length);
        EXPECT_FALSE(failure.what.empty());
    }
}

// Ranges of the catalogue store that hold picture bytes: cutting inside them all fails
// at the same length check, so only their edges and a few inner points are tried.
std::vector<std::pair<std::size_t, std::size_t>> pictureRanges(const Bytes& bytes)
{
    TemplateStore store;
    EXPECT_TRUE(parseTemplateStore(bytes, store));
    std::vector<Bytes> pictures;
    for (const auto& w : store.windows)
        for (const auto& r : w.records) {
            if (const auto* s = r.as<WindowSettings>(); s && !s->icon.empty())
                pictures.push_back(s->icon);
            if (const auto* s = r.as<PictureBoxSettings>(); s && !s->picture.empty())
                pictures.push_back(s->picture);
        }
    std::sort(pictures.begin(), pictures.end());
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const Bytes& p : pictures) {
        auto from = bytes.begin();
        while (true) {
            const auto at = std::search(from, bytes.end(), p.begin(), p.end());
            if (at == bytes.end())
                break;
            ranges.emplace_back(std::size_t(at - bytes.begin()), p.size());
            from = at + std::ptrdiff_t(p.size());
        }
    }
    return ranges;
}

// Size of one window template as stored (without the window map).
std::size_t templateSize(const WindowTemplate& w)
{
    TemplateStore one;
    one.windows = {w};
    return buildTemplateStore(one)->size() - 12; // map: length, one id, one slot
}

// The real catalogue: every cut inside the first window (window, menu, label, button,
// edit box) and the last (group box, toolbar, report list), every 7th elsewhere, and a
// few inside each picture. Each cut must be refused.
TEST(TemplateDamage, CatalogueStoreCutShort)
{
    const Bytes bytes = catalogueBytes();
    TemplateStore whole;
    ASSERT_TRUE(parseTemplateStore(bytes, whole));
    const std::size_t firstEnd = 4 + 8 * whole.windows.size() + templateSize(whole.windows.front());
    const std::size_t lastStart = bytes.size() - templateSize(whole.windows.back());
    const auto ranges = pictureRanges(bytes);
    EXPECT_EQ(ranges.size(), 4u); // the icon and the three sample photos
    std::size_t tried = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const auto inside = std::find_if(ranges.begin(), ranges.end(), [&](const auto& r) {
            return length > r.first + 8 && length + 8 < r.first + r.second;
        });
        const bool every = length < firstEnd || length >= lastStart;
        if (inside != ranges.end() ? (length - inside->first) % 4099 != 0 : !every && length % 7 != 0)
            continue;
        ++tried;
        // A view of the prefix, not a copy: out-of-bounds reads are the sample store's
        // business (above); here the real catalogue's cuts must all be refused.
        TemplateStore out;
        EXPECT_FALSE(parseTemplateStore(std::span<const std::uint8_t>(bytes.data(), length), out)) << length;
    }
    EXPECT_GT(tried, 5000u);
}

// Every 4-byte window of the sample store overwritten with lengths that are too big or
// negative: the reader either still makes sense of it or refuses, and never reads
// outside the data.
TEST(TemplateDamage, WrongValuesAnywhereNeverReadOutside)
{
    const Bytes good = sampleBytes();
    std::size_t refused = 0;
    for (std::size_t at = 0; at + 4 <= good.size(); ++at)
        for (std::uint32_t value : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, std::uint32_t(good.size()), 0x0000FFFFu}) {
            Bytes bad = good;
            putU32(bad, at, value);
            StoreReadFailure failure;
            if (!parsesCut(bad, bad.size(), &failure)) {
                ++refused;
                EXPECT_LE(failure.offset, bad.size());
            }
        }
    EXPECT_GT(refused, good.size());
}

TEST(TemplateDamage, WrongLengthsInTheStructure)
{
    const Bytes good = sampleBytes();
    // layout: map length 0, map 4..19, tags 20..27, texts 28..35, count 36, table length 40
    const std::size_t countAt = 36, tableLengthAt = 40, tableAt = 44;
    const std::size_t n = u32At(good, countAt);
    const std::size_t recordsAt = tableAt + 8 * n;
    const auto refuses = [](Bytes b) { return !parsesCut(b, b.size()); };

    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const std::vector<Case> cases = {
        {"map length beyond the store", 0, 0x100000},
        {"map length not a multiple of 8", 0, 12},
        {"negative map length", 0, 0xFFFFFFF0},
        {"negative component count", countAt, 0xFFFFFFFF},
        {"more components than the table holds", countAt, std::uint32_t(n + 1000)},
        {"no components", countAt, 0},
        {"table longer than the store", tableLengthAt, u32At(good, tableLengthAt) + 1000},
        {"negative table length", tableLengthAt, 0xFFFFFFFF},
        {"record offset past the table", tableAt + 4 * n + 4, 0x00FFFFFF},
        {"record length past the table", recordsAt, 0x00FFFFFF},
        {"negative record length", recordsAt, 0xFFFFFFFE},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        putU32(bad, c.at, c.value);
        EXPECT_TRUE(refuses(bad)) << c.what;
    }

    // A table length one short cuts the last record of the window.
    Bytes shorter = good;
    putU32(shorter, tableLengthAt, u32At(good, tableLengthAt) - 1);
    EXPECT_TRUE(refuses(shorter));
}

TEST(TemplateDamage, TrailingBytesAfterTheLastTemplateAreIgnored)
{
    Bytes bytes = sampleBytes();
    bytes.push_back(0x5A);
    EXPECT_TRUE(parsesCut(bytes, bytes.size()));
}

const char* fatalText() { return reinterpret_cast<const char*>(u8"载入窗口模板数据段出错"); }

TEST(TemplateDamageDeathTest, StartUpEndsWithTheFatalReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Bytes bytes = catalogueBytes();
    for (std::size_t length : {std::size_t(0), std::size_t(3), std::size_t(60), bytes.size() / 2, bytes.size() - 1}) {
        const Bytes cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
        EXPECT_EXIT(loadTemplateStore(cut), ::testing::ExitedWithCode(255), fatalText()) << length;
    }
    Bytes bad = sampleBytes();
    putU32(bad, 40, 0xFFFFFFFF);
    EXPECT_EXIT(loadTemplateStore(bad), ::testing::ExitedWithCode(255), fatalText());
}

} // namespace
} // namespace qr::forms
