#include "app/startup.h"

#include "app/catalogue/catalogue.h"
#include "app/handlers.h"
#include "forms/registry/component_kind.h"
#include "forms/registry/window_registry.h"

#include <cstdlib>

namespace qr::app {

void startFormsRuntime()
{
    forms::registerStandardKinds();
    forms::initFormsRuntime(catalogue::templateStoreBytes());
    forms::clearHandlers();
    bindHandlers();
}

bool displayAvailable()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

} // namespace qr::app
