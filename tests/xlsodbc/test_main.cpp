// The driver manager reads ODBCSYSINI once, at the process's first ODBC call: register
// the build tree's driver in the tests' own folder and point the manager there first.
#include "xlsodbc/driver_registration.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    std::string problem;
    if (qr::xls::registerDriver(QR_TEST_ODBC_DIR, QR_XLS_DRIVER_FILE, problem) == qr::xls::Registration::Failed) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    qr::xls::useRegistrationIn(QR_TEST_ODBC_DIR);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
