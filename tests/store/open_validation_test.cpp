// Opening damaged and unusual data and auxiliary files.
#include "store_test_support.h"

namespace qr::store::testing {
namespace {

// Two fields, text of 10 and integer: record length 18, data start 260.
constexpr std::size_t kDataStart = 116 + 2 * 72;
constexpr std::size_t kRecord = 18;

class OpenValidation : public StoreTest {
protected:
    // A closed store "v.edb" holding n records.
    Bytes makeStore(int n)
    {
        create("v.edb", {{"名", FieldType::Text, 10}, {"号", FieldType::Integer, 0}});
        EXPECT_TRUE(open("v.edb"));
        for (int i = 1; i <= n; ++i)
            EXPECT_TRUE(add({Value::text("n" + std::to_string(i)), Value::integer(i)}));
        closeStore();
        return readBytes("v.edb");
    }
    ResultCode openResult(const Bytes& file, bool readOnly = false, const std::string& password = "")
    {
        writeBytes("v.edb", file);
        OpenOptions options;
        options.readOnly = readOnly;
        options.password = password;
        if (open("v.edb", options)) {
            closeStore();
            return rc::kOk;
        }
        return lastError();
    }
};

TEST_F(OpenValidation, HeaderFaultsAreRefusedInOrder)
{
    const Bytes good = makeStore(2);
    Bytes b = good;
    b.resize(111);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);

    b = good;
    b[0] = 'X';
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    EXPECT_EQ(openResult(good, false, "secret"), rc::kWrongPassword);
    EXPECT_EQ(openResult(good, false, "?"), rc::kOk);
    b = good;
    b[1] = 'C'; // "WCDB": protected, and we hold no password for it
    EXPECT_EQ(openResult(b, false, "secret"), rc::kWrongPassword);

    b = good;
    putI32At(b, 24, 0);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    b = good;
    putI32At(b, 16, -1);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    b = good;
    putI32At(b, 20, 0);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    // Validity of the header counts before its version.
    putI32At(b, 4, 0x10001);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
}

TEST_F(OpenValidation, VersionUpToOneIsAccepted)
{
    const Bytes good = makeStore(0);
    Bytes b = good;
    putI32At(b, 4, 0x10001);
    EXPECT_EQ(openResult(b), rc::kVersionTooHigh);
    putI32At(b, 4, 0x10000);
    EXPECT_EQ(openResult(b), rc::kOk);
    putI32At(b, 4, 0);
    EXPECT_EQ(openResult(b), rc::kOk);
}

TEST_F(OpenValidation, FieldCountAndDefinitionFaults)
{
    const Bytes good = makeStore(1);
    Bytes b = good;
    putI32At(b, 112, 0);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    b.resize(114); // field count cannot be read
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    b = good;
    putI32At(b, 112, 3); // a third definition would run into the records
    b.resize(116 + 2 * 72 + 40);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);

    auto withDef = [&](std::size_t field, std::size_t offset, std::int32_t value) {
        Bytes d = good;
        putI32At(d, 116 + 72 * field + offset, value);
        return d;
    };
    EXPECT_EQ(openResult(withDef(1, 24, -1)), rc::kNotADataFile); // negative offset
    EXPECT_EQ(openResult(withDef(1, 20, 13)), rc::kNotADataFile); // type code
    EXPECT_EQ(openResult(withDef(1, 20, 0)), rc::kNotADataFile);
    EXPECT_EQ(openResult(withDef(0, 28, 0)), rc::kNotADataFile);  // text without width
    EXPECT_EQ(openResult(withDef(0, 28, 15)), rc::kNotADataFile); // text runs past the record
    EXPECT_EQ(openResult(withDef(1, 24, 15)), rc::kNotADataFile); // integer runs past the record
    EXPECT_EQ(openResult(withDef(1, 20, 4)), rc::kNotADataFile);  // long integer does not fit
    EXPECT_EQ(openResult(withDef(1, 20, 2)), rc::kOk);            // short integer does
}

TEST_F(OpenValidation, FieldNameNeedsTerminatorWithinSeventeenBytes)
{
    const Bytes good = makeStore(0);
    Bytes b = good;
    for (int i = 0; i < 16; ++i)
        b[116 + i] = 'a';
    b[116 + 16] = 0;
    EXPECT_EQ(openResult(b), rc::kOk);
    b[116 + 16] = 'a';
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
}

TEST_F(OpenValidation, ValuesThatWouldOversizeBuffersAreRefusedUpFront)
{
    const Bytes good = makeStore(0);
    Bytes b = good;
    putI32At(b, 112, 0x7FFFFFFF);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
    b = good;
    putI32At(b, 24, 0x7FFFFFF0);
    EXPECT_EQ(openResult(b), rc::kNotADataFile);
}

TEST_F(OpenValidation, EmptyStoreOfHeaderSizeOpens)
{
    const Bytes good = makeStore(0);
    ASSERT_EQ(good.size(), kDataStart);
    ASSERT_TRUE(open("v.edb"));
    EXPECT_EQ(recordCount(), 0);
    EXPECT_TRUE(goToRecord(1));
    EXPECT_EQ(readField(2), Value::integer(0));
    EXPECT_EQ(lastError(), rc::kBadSeek);
}

TEST_F(OpenValidation, ShortFileIsCutOnWritableOpenAndRefusedReadOnly)
{
    Bytes b = makeStore(10);
    b.resize(kDataStart + 7 * kRecord + kRecord / 2);
    writeBytes("v.edb", b);
    OpenOptions readOnly;
    readOnly.readOnly = true;
    EXPECT_FALSE(open("v.edb", readOnly));
    EXPECT_EQ(lastError(), rc::kDataFileSize);
    EXPECT_EQ(readBytes("v.edb"), b);

    ASSERT_TRUE(open("v.edb"));
    EXPECT_EQ(recordCount(), 7);
    closeStore();
    const Bytes after = readBytes("v.edb");
    EXPECT_EQ(after.size(), kDataStart + 7 * kRecord);
    EXPECT_EQ(i32At(after, 16), 7);
    EXPECT_EQ(i32At(after, 20), 11); // next serial untouched
}

TEST_F(OpenValidation, UncountedRecordsAreDroppedOnlyByWritableOpen)
{
    Bytes b = makeStore(12);
    putI32At(b, 16, 10);
    writeBytes("v.edb", b);
    OpenOptions readOnly;
    readOnly.readOnly = true;
    ASSERT_TRUE(open("v.edb", readOnly));
    EXPECT_EQ(recordCount(), 10);
    closeStore();
    EXPECT_EQ(readBytes("v.edb"), b);

    ASSERT_TRUE(open("v.edb"));
    EXPECT_EQ(recordCount(), 10);
    closeStore();
    EXPECT_EQ(readBytes("v.edb").size(), kDataStart + 10 * kRecord);
}

TEST_F(OpenValidation, AuxiliaryFileFaults)
{
    create("p.edb", {{"照片", FieldType::ByteSet, 0}});
    const Bytes aux = readBytes("p.EDT");
    ASSERT_EQ(aux.size(), 512u);
    EXPECT_EQ(i32At(aux, 16), 1);
    OpenOptions readOnly;
    readOnly.readOnly = true;
    auto openWith = [&](const Bytes& a, const OpenOptions& options = {}) {
        writeBytes("p.EDT", a);
        if (!open("p.edb", options))
            return lastError();
        closeStore();
        return rc::kOk;
    };
    Bytes a = aux;
    a[3] = 'X';
    EXPECT_EQ(openWith(a), rc::kAuxReadFailed);
    a = aux;
    a.resize(31);
    EXPECT_EQ(openWith(a), rc::kAuxReadFailed);
    a = aux;
    putI32At(a, 20, 1); // free count must stay below the block count
    EXPECT_EQ(openWith(a), rc::kAuxReadFailed);
    a = aux;
    putI32At(a, 4, 0x10001);
    EXPECT_EQ(openWith(a), rc::kAuxVersionMismatch);

    a = aux;
    putI32At(a, 16, 4); // claims four blocks in a file of one
    EXPECT_EQ(openWith(a, readOnly), rc::kAuxDamaged);
    EXPECT_EQ(readBytes("p.EDT"), a);
    EXPECT_EQ(openWith(a), rc::kOk);
    EXPECT_EQ(i32At(readBytes("p.EDT"), 16), 1);

    std::filesystem::remove("p.EDT");
    EXPECT_FALSE(open("p.edb"));
    EXPECT_EQ(lastError(), rc::kAuxReadFailed);
}

TEST_F(OpenValidation, NamesAndAliasesOfOpen)
{
    makeStore(0);
    EXPECT_FALSE(open(""));
    EXPECT_EQ(lastError(), rc::kFileNotFound);
    OpenOptions badAlias;
    badAlias.alias = "1st";
    EXPECT_FALSE(open("v.edb", badAlias));
    EXPECT_EQ(lastError(), rc::kInvalidAlias);
    EXPECT_FALSE(open("missing.edb"));
    EXPECT_EQ(lastError(), rc::kFileNotFound);
    // Without extension the default ".EDB" applies; this file system tells cases apart.
    EXPECT_FALSE(open("v"));
    EXPECT_EQ(lastError(), rc::kFileNotFound);
    std::filesystem::copy_file("v.edb", "w.EDB");
    EXPECT_TRUE(open("w"));
    OpenOptions withIndex;
    withIndex.indexFiles = {"v.enx"};
    EXPECT_FALSE(open("v.edb", withIndex));
    EXPECT_EQ(lastError(), rc::kIndexOpenFailed);
    withIndex.indexFiles.assign(11, "v.enx");
    EXPECT_FALSE(open("v.edb", withIndex));
    EXPECT_EQ(lastError(), rc::kTooManyIndexFiles);
}

} // namespace
} // namespace qr::store::testing
