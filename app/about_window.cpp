// The about window: shown beside the main window; it has no handlers.
#include "app/component_ids.h"
#include "app/handlers.h"

namespace qr::app {

void openAboutWindow() { forms::loadWindow(kAboutWindow); }

} // namespace qr::app
