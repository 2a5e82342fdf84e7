// One FormsApplication for the look tests, on the platform QT_QPA_PLATFORM names:
// ctest runs them offscreen and again on xcb under a virtual display.
#include "forms/registry/forms_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::forms::FormsApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
