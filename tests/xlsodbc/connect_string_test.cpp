// Connect strings written back by the driver (the completed string of a connection)
// read back as the same settings.
#include "xlsodbc/connect_string.h"

#include <gtest/gtest.h>

namespace qr::xls {
namespace {

TEST(ConnectString, WrittenValuesReadBackWithTheirBlanksAndSeparators)
{
    ConnectString cs;
    cs.set("DBQ", " /tmp/class list .xls\t");
    cs.set("DefaultDir", "a;b{c}");
    cs.set("ReadOnly", "0");
    const ConnectString again = ConnectString::parse(cs.toString());
    EXPECT_EQ(again.get("dbq"), " /tmp/class list .xls\t") << cs.toString();
    EXPECT_EQ(again.get("DEFAULTDIR"), "a;b{c}");
    EXPECT_EQ(again.get("ReadOnly"), "0");
    EXPECT_EQ(again.toString(), cs.toString());
    // Unbraced, the blanks around a value are not part of it.
    EXPECT_EQ(ConnectString::parse("DBQ=  x.xls ;").get("DBQ"), "x.xls");
}

} // namespace
} // namespace qr::xls
