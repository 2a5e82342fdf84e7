// One FormsApplication for all registry tests, on the offscreen platform.
#include "forms/registry/forms_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::forms::FormsApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests start the test binary afresh, so the child has its own application.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
