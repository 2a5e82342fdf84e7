// One application object for all kind tests, on the offscreen platform. It is the
// forms runtime's application, so input passes through the registry as in the program.
#include "forms/registry/forms_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::forms::FormsApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
