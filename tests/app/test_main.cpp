// The tests share one application object, offscreen.
#include "app/odbc_setup.h"
#include "forms/registry/forms_application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Our spreadsheet driver, as the program registers it, before any ODBC call.
    qr::app::useOdbcDriversOf(QR_RUN_DIR);
    qr::forms::FormsApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
