// Damaged and foreign files: cut short, broken sector chains, bad record lengths and
// positions. Each fails with a message (the connection with 08001), none crashes.
#include "tests/xlsodbc/odbc_client.h"
#include "tests/xlsodbc/test_files.h"
#include "tests/xlsodbc/workbook_builder.h"
#include "xlsodbc/biff_io.h"
#include "xlsodbc/book_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include <sys/stat.h>

namespace qr::xls::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    bool ok = false;
    std::string error;
    Bytes stream; // the workbook written back, when it parsed
};

Outcome open(const Bytes& file)
{
    Outcome o;
    CompoundNode root;
    Workbook book;
    o.ok = parseWorkbookFile(file, root, book, o.error);
    if (o.ok)
        o.stream = book.serialize();
    return o;
}

Bytes wrap(const Bytes& stream, const char* name = "Workbook")
{
    CompoundNode root;
    root.isStorage = true;
    root.children.push_back(CompoundNode{name, false, stream, {}, false, {}});
    Bytes file;
    std::string error;
    EXPECT_TRUE(writeCompoundFile(root, file, error)) << error;
    return file;
}

// A workbook large enough that its stream lives in ordinary sectors.
Bytes sampleStream()
{
    std::vector<std::u16string> headings;
    for (int i = 0; i < 200; ++i)
        headings.push_back(u"heading number " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"列");
    return buildWorkbookStream({SheetSpec{u"Sheet1", headings, {{0, 2000}}}, SheetSpec{u"Sheet2", {}, {}}});
}

// Offset of the first record of `type` at or after `from`.
std::size_t findRecord(const Bytes& stream, std::uint16_t type, std::size_t from = 0)
{
    RecordView r;
    for (std::size_t pos = 0; recordAt(stream, pos, r); pos += 4 + r.data.size())
        if (r.type == type && pos >= from)
            return pos;
    ADD_FAILURE() << "no record " << type;
    return 0;
}

void expectFails(const Bytes& file, const std::string& why)
{
    const Outcome o = open(file);
    EXPECT_FALSE(o.ok) << why;
    EXPECT_FALSE(o.error.empty()) << why;
}

TEST(DamagedFiles, CutShortAnywhere)
{
    const Bytes file = wrap(sampleStream());
    const Outcome whole = open(file);
    ASSERT_TRUE(whole.ok) << whole.error;
    for (std::size_t cut = 0; cut < file.size(); cut += (cut < 1024 ? 37 : 509)) {
        const Outcome o = open(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
        // Either the cut is noticed, or it only removed what the workbook never used.
        if (o.ok)
            EXPECT_EQ(o.stream, whole.stream) << "cut at " << cut;
        else
            EXPECT_FALSE(o.error.empty()) << "cut at " << cut;
    }
    expectFails(Bytes(file.begin(), file.begin() + 512), "header only");
}

TEST(DamagedFiles, BrokenSectorChains)
{
    const Bytes file = wrap(sampleStream());
    const std::uint32_t fatSector = getU32(file.data() + 0x4C);
    const std::size_t fatAt = (static_cast<std::size_t>(fatSector) + 1) * 512;
    ASSERT_LE(fatAt + 512, file.size());

    Bytes loop = file; // every sector chains to itself
    for (std::uint32_t i = 0; i < 128; ++i)
        if (getU32(loop.data() + fatAt + 4 * i) < 0xFFFFFFFA)
            putU32(loop.data() + fatAt + 4 * i, i);
    expectFails(loop, "sector chains that loop");

    Bytes beyond = file; // chains that run off the end of the file
    for (std::uint32_t i = 0; i < 128; ++i)
        if (getU32(beyond.data() + fatAt + 4 * i) < 0xFFFFFFFA)
            putU32(beyond.data() + fatAt + 4 * i, 0x00FFFFF0);
    expectFails(beyond, "sector chains beyond the file");

    Bytes directory = file;
    putU32(directory.data() + 0x30, 0x7FFFFF00);
    expectFails(directory, "directory sector beyond the file");

    Bytes noFat = file;
    putU32(noFat.data() + 0x4C, 0x7FFFFF00);
    expectFails(noFat, "allocation table beyond the file");
}

// Chains that turn back to an earlier sector: after a few sectors (the stream would
// repeat them), or from the last sector instead of ending there, which leaves a
// stream of the right size that a lenient reader takes as whole.
TEST(DamagedFiles, SectorChainsThatTurnBack)
{
    const Bytes file = wrap(sampleStream());
    const std::size_t fatAt = (static_cast<std::size_t>(getU32(file.data() + 0x4C)) + 1) * 512;
    const auto link = [&](std::uint32_t sector) { return getU32(file.data() + fatAt + 4 * sector); };
    // The longest run of consecutive sectors that ends its chain: the workbook stream.
    std::uint32_t first = 0, last = 0;
    for (std::uint32_t s = 0; s < 128; ++s) {
        std::uint32_t e = s;
        while (e < 127 && link(e) == e + 1)
            ++e;
        if (link(e) == 0xFFFFFFFE && e - s > last - first)
            first = s, last = e;
    }
    ASSERT_GE(last - first, 3u);

    Bytes early = file;
    putU32(early.data() + fatAt + 4 * (first + 2), first); // first, +1, +2, first, ...
    Bytes atTheEnd = file;
    putU32(atTheEnd.data() + fatAt + 4 * last, first); // the whole stream, then again
    TempDir dir;
    for (const auto& [name, damaged] : {std::pair{"early.xls", early}, std::pair{"end.xls", atTheEnd}}) {
        const Outcome o = open(damaged);
        EXPECT_FALSE(o.ok) << name;
        EXPECT_NE(o.error.find("runs in a loop"), std::string::npos) << name << ": " << o.error;
        writeFile(dir.file(name), damaged);
        OdbcClient c;
        EXPECT_FALSE(c.connect(exportConnectString(dir.file(name)))) << name;
        EXPECT_EQ(c.lastState(), "08001") << name;
        EXPECT_NE(c.lastMessage().find("runs in a loop"), std::string::npos) << c.lastMessage();
    }
}

TEST(DamagedFiles, BadRecordLengthsAndPositions)
{
    const Bytes stream = sampleStream();
    ASSERT_TRUE(open(wrap(stream)).ok);

    Bytes longRecord = stream; // a length that runs past the end of the stream
    putU16(longRecord.data() + findRecord(stream, rt::Dimensions) + 2, 0xFFF0);
    expectFails(wrap(longRecord), "record longer than the stream");

    Bytes shortCell = stream; // a cell record too short for its kind
    const std::size_t cell = findRecord(stream, rt::LabelSst);
    putU16(shortCell.data() + cell + 2, 4);
    expectFails(wrap(shortCell), "cell record too short");

    Bytes badIndex = stream; // a shared string that does not exist
    putU32(badIndex.data() + cell + 4 + 6, 100000);
    expectFails(wrap(badIndex), "string index out of range");

    Bytes badSheet = stream; // a sheet beyond the stream
    putU32(badSheet.data() + findRecord(stream, rt::BoundSheet) + 4, 0x7FFFFFFF);
    expectFails(wrap(badSheet), "sheet position beyond the stream");

    Bytes intoGlobals = stream; // a sheet inside the globals
    putU32(intoGlobals.data() + findRecord(stream, rt::BoundSheet) + 4, 0);
    expectFails(wrap(intoGlobals), "sheet position inside the globals");

    Bytes longString = stream; // a shared string longer than its records
    const std::size_t sst = findRecord(stream, rt::Sst);
    putU16(longString.data() + sst + 4 + 8, 0xFFFF);
    expectFails(wrap(longString), "string longer than its records");

    Bytes noEof = stream; // the globals never end
    const std::size_t eof = findRecord(stream, rt::Eof);
    noEof.resize(eof);
    expectFails(wrap(noEof), "globals without EOF");
}

TEST(DamagedFiles, ForeignFiles)
{
    const std::string text = "this is not a workbook at all\n";
    const Outcome notOle = open(Bytes(text.begin(), text.end()));
    EXPECT_FALSE(notOle.ok);
    EXPECT_NE(notOle.error.find("not an OLE2"), std::string::npos) << notOle.error;
    EXPECT_FALSE(open({}).ok);

    Bytes biff5 = sampleStream();
    putU16(biff5.data() + 4, 0x0500);
    const Outcome old = open(wrap(biff5, "Book"));
    EXPECT_FALSE(old.ok);
    EXPECT_NE(old.error.find("5.0/95"), std::string::npos) << old.error;
    expectFails(wrap(biff5), "BIFF5 records in a Workbook stream");
    expectFails(wrap(sampleStream(), "Other"), "no workbook stream");
}

TEST(DamagedFiles, RandomDamageNeverCrashes)
{
    const Bytes file = wrap(sampleStream());
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        Bytes damaged = file;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        const Outcome o = open(damaged);
        EXPECT_TRUE(o.ok || !o.error.empty()) << "round " << round;
    }
}

TEST(DamagedFiles, ConnectionFailsWithADiagnostic)
{
    TempDir dir;
    const Bytes file = wrap(sampleStream());
    writeFile(dir.file("cut.xls"), Bytes(file.begin(), file.begin() + 1500));
    writeFile(dir.file("text.xls"), Bytes(100, 'x'));
    for (const char* name : {"cut.xls", "text.xls"}) {
        OdbcClient c;
        EXPECT_FALSE(c.connect(exportConnectString(dir.file(name)))) << name;
        EXPECT_EQ(c.lastState(), "08001") << name;
        EXPECT_NE(c.lastMessage().find(name), std::string::npos) << c.lastMessage();
    }
}

TEST(DamagedFiles, ConnectionRefusesWhatIsNoRegularFileAtOnce)
{
    TempDir dir;
    // A FIFO without a writer would hold an ordinary open for ever.
    const std::string fifo = dir.file("pipe.xls");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {fifo, std::string("/dev/zero"), dir.path()}) {
        OdbcClient c;
        EXPECT_FALSE(c.connect(exportConnectString(name))) << name;
        EXPECT_EQ(c.lastState(), "08001") << name;
        EXPECT_NE(c.lastMessage().find("not a regular file"), std::string::npos) << c.lastMessage();
    }
    // Hundreds of megabytes are no class roster; refused before anything is read.
    const std::string huge = dir.file("huge.xls");
    writeFile(huge, wrap(sampleStream()));
    std::filesystem::resize_file(huge, 300u << 20);
    OdbcClient c;
    EXPECT_FALSE(c.connect(exportConnectString(huge)));
    EXPECT_EQ(c.lastState(), "08001");
    EXPECT_NE(c.lastMessage().find("too large"), std::string::npos) << c.lastMessage();
}

} // namespace
} // namespace qr::xls::testing
