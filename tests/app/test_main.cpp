// The tests share one application object, offscreen.
#include "forms/registry/forms_application.h"
#include "xlsodbc/driver_registration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Our spreadsheet driver, as the program registers it, before any ODBC call.
    std::string problem;
    if (qr::xls::registerDriver(QR_TEST_ODBC_DIR, QR_XLS_DRIVER_FILE, problem) == qr::xls::Registration::Failed) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    qr::xls::useRegistrationIn(QR_TEST_ODBC_DIR);
    qr::forms::FormsApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
