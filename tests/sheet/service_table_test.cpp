// The component over tables other than the ODBC one: what it does when an
// entry is missing, and in which order it calls the entries it has.
#include "sheet/external_database.h"
#include "sheet/odbc_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qr::sheet {
namespace {

using runtime::Kind;
using runtime::Value;

// What the recording entries saw; captureless entry points need a global.
struct Recorder {
    std::vector<std::string> calls; // "entry@connection"
    std::vector<Value> lastArgs;
    ConnectionHandle nextHandle = 1;
    bool failOpen = false;
};
Recorder recorder;

void note(const char* entry, const ServiceCall& call)
{
    recorder.calls.push_back(std::string(entry) + "@" + std::to_string(call.connection));
    recorder.lastArgs.assign(call.args.begin(), call.args.end());
}

Value fakeOpen(const char* entry, const ServiceCall& call)
{
    note(entry, call);
    return Value::longInt(recorder.failOpen ? 0 : recorder.nextHandle++);
}
Value fakeNewOpen(const ServiceCall& call) { return fakeOpen("NewOpenDatabase", call); }
Value fakeOldOpen(const ServiceCall& call) { return fakeOpen("OpenDatabase", call); }
Value fakeClose(const ServiceCall& call)
{
    note("CloseDatabase", call);
    return Value::logical(true);
}
Value fakeOpenTable(const ServiceCall& call)
{
    note("OpenTable", call);
    return Value::integer(5);
}
Value fakeReadByIndex(const ServiceCall& call)
{
    note("ReadColByIndex", call);
    return {}; // the empty cell value
}
Value fakeReadByName(const ServiceCall& call)
{
    note("ReadColByName", call);
    return Value::doubleFloat(170.0);
}

class InjectedTableTest : public ::testing::Test {
protected:
    void SetUp() override { recorder = Recorder{}; }
    ServiceTable table;
};

TEST_F(InjectedTableTest, MissingEntriesMakeMethodsDoNothing)
{
    table.add("NewOpenDatabase", fakeNewOpen);
    table.add("CloseDatabase", fakeClose);
    ExternalDatabase db(table);
    ASSERT_TRUE(db.NewOpenDatabase("DSN=x"));
    recorder.calls.clear();

    EXPECT_EQ(db.OpenTable("select 1"), 0);
    EXPECT_TRUE(db.IsEOF(5));
    EXPECT_TRUE(db.IsBOF(5));
    db.MoveFirst(5);
    db.MoveNext(5);
    EXPECT_EQ(db.ReadColByName(5, "a"), Value::text(""));
    EXPECT_EQ(db.ReadColByIndex(5, 1), Value::text(""));
    EXPECT_FALSE(db.ExecuteSql("delete from t"));
    EXPECT_FALSE(db.CloseTable(5));
    EXPECT_EQ(db.GetConnectString(), "");
    EXPECT_EQ(db.BDGetRecCount(5), 0);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(InjectedTableTest, WithoutAnyEntryNothingConnects)
{
    ExternalDatabase db(table);
    EXPECT_FALSE(db.NewOpenDatabase("DSN=x"));
    EXPECT_FALSE(db.isConnected());
    db.CloseDatabase();
}

TEST_F(InjectedTableTest, OpenFallsBackToTheOlderEntryWithoutTheDialogFlag)
{
    table.add("OpenDatabase", fakeOldOpen);
    table.add("CloseDatabase", fakeClose);
    ExternalDatabase db(table);
    ASSERT_TRUE(db.NewOpenDatabase("DSN=x", true, true));
    ASSERT_EQ(recorder.calls, std::vector<std::string>{"OpenDatabase@0"});
    EXPECT_EQ(recorder.lastArgs, (std::vector<Value>{Value::text("DSN=x"), Value::logical(true)}));
}

TEST_F(InjectedTableTest, TheOldConnectionIsClosedOnlyAfterTheNewOneIsUp)
{
    table.add("NewOpenDatabase", fakeNewOpen);
    table.add("OpenDatabase", fakeOldOpen);
    table.add("CloseDatabase", fakeClose);
    ExternalDatabase db(table);
    ASSERT_TRUE(db.NewOpenDatabase("DSN=a"));
    EXPECT_EQ(recorder.lastArgs,
              (std::vector<Value>{Value::text("DSN=a"), Value::logical(false), Value::logical(false)}));
    ASSERT_TRUE(db.NewOpenDatabase("DSN=b"));

    recorder.failOpen = true;
    EXPECT_FALSE(db.NewOpenDatabase("DSN=c"));
    EXPECT_TRUE(db.isConnected()); // a failed open keeps the connection held
    db.CloseDatabase();
    db.CloseDatabase(); // closing twice: the second returns at once
    EXPECT_FALSE(db.isConnected());

    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"NewOpenDatabase@0", "NewOpenDatabase@1", "CloseDatabase@1",
                                                        "NewOpenDatabase@2", "CloseDatabase@2"}));
}

TEST_F(InjectedTableTest, EmptyQueryNeverReachesTheService)
{
    table.add("NewOpenDatabase", fakeNewOpen);
    table.add("CloseDatabase", fakeClose);
    table.add("OpenTable", fakeOpenTable);
    ExternalDatabase db(table);
    ASSERT_TRUE(db.NewOpenDatabase("DSN=x"));
    recorder.calls.clear();
    EXPECT_EQ(db.OpenTable(""), 0);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(db.OpenTable("select 1"), 5);
}

TEST_F(InjectedTableTest, ReadsTakeTextsByNameAndNumbersAsIntegerIndexes)
{
    table.add("ReadColByIndex", fakeReadByIndex);
    table.add("ReadColByName", fakeReadByName);
    ExternalDatabase db(table);

    // The empty cell value reaches the caller as the empty text.
    EXPECT_EQ(db.ReadCol(3, Value::doubleFloat(2.9)), Value::text(""));
    EXPECT_EQ(recorder.lastArgs, (std::vector<Value>{Value::integer(3), Value::integer(2)}));
    EXPECT_EQ(db.ReadCol(3, Value::shortInt(4)), Value::text(""));
    EXPECT_EQ(recorder.lastArgs, (std::vector<Value>{Value::integer(3), Value::integer(4)}));

    EXPECT_EQ(db.ReadCol(3, Value::text("身高")), Value::doubleFloat(170.0));
    EXPECT_EQ(recorder.lastArgs, (std::vector<Value>{Value::integer(3), Value::text("身高")}));

    // Neither a text nor a number: nothing to read.
    recorder.calls.clear();
    EXPECT_EQ(db.ReadCol(3, Value::logical(true)), Value::text(""));
    EXPECT_TRUE(recorder.calls.empty());
}

TEST(OdbcServiceTable, EntriesAreFoundByTheirExactName)
{
    const ServiceTable& table = odbcServiceTable();
    EXPECT_EQ(&table, &odbcServiceTable()); // filled once
    for (const char* name : {"NewOpenDatabase", "OpenDatabase", "CloseDatabase", "OpenTable", "CloseTable", "IsEOF",
                             "MoveFirst", "MoveNext", "ReadColByName", "ReadColByIndex", "ExecuteSql"})
        EXPECT_NE(table.find(name), nullptr) << name;
    EXPECT_EQ(table.find("openTable"), nullptr);
    EXPECT_EQ(table.find("OpenTable "), nullptr);
    for (const auto& entry : table.entries())
        EXPECT_EQ(entry.nameHash, ServiceTable::hashName(entry.name));
}

TEST(ServiceTableEdits, AddReplacesAndRemoveDeletes)
{
    ServiceTable table;
    table.add("OpenTable", fakeOpenTable);
    table.add("OpenTable", fakeReadByName);
    EXPECT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.find("OpenTable"), &fakeReadByName);
    table.remove("OpenTable");
    EXPECT_EQ(table.find("OpenTable"), nullptr);
}

} // namespace
} // namespace qr::sheet
