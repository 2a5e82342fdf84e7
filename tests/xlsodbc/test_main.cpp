// The driver manager reads ODBCSYSINI once, at the process's first ODBC call: point it
// at the run directory's odbcinst.ini before any test runs.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("ODBCSYSINI", QR_RUN_DIR, 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
