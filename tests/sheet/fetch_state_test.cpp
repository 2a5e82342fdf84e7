#include "sheet/odbc_calls.h"

#include <gtest/gtest.h>

namespace qr::sheet::odbc {
namespace {

TEST(FetchWithInfo, OnlyAnErrorInTheRowWithoutTruncationFailsTheFetch)
{
    EXPECT_TRUE(fetchInfoIsError(std::vector<std::string>{"01S01"}));
    EXPECT_TRUE(fetchInfoIsError(std::vector<std::string>{"01S07", "01S01"}));
    // Truncated data is accepted, even next to an error in the row.
    EXPECT_FALSE(fetchInfoIsError(std::vector<std::string>{"01004"}));
    EXPECT_FALSE(fetchInfoIsError(std::vector<std::string>{"01S01", "01004"}));
    EXPECT_FALSE(fetchInfoIsError(std::vector<std::string>{"01S07"}));
    EXPECT_FALSE(fetchInfoIsError(std::vector<std::string>{}));
}

} // namespace
} // namespace qr::sheet::odbc
