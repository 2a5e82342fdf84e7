// Program entry: the start window, then the message loop until the last window is gone.
#include "app/catalogue/catalogue.h"
#include "app/run_place.h"
#include "app/startup.h"
#include "forms/registry/forms_application.h"
#include "forms/registry/window_registry.h"
#include "runtime/directories.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (!qr::app::displayAvailable()) {
        std::fputs("Quillroll needs a graphical desktop: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n",
                   stderr);
        return 1;
    }
    qr::forms::FormsApplication application(argc, argv);
    qr::runtime::setUpRunDirectory();
    std::string problems;
    qr::app::settleRunPlace(qr::runtime::runDirectory(), problems);
    if (!problems.empty())
        std::fprintf(stderr, "Quillroll: %s\n", problems.c_str());
    qr::app::startFormsRuntime();
    qr::forms::loadStartWindow(qr::catalogue::kStartWindow);
    return qr::forms::runMessageLoop();
}
