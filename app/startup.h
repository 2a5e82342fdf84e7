// Bringing the forms runtime up for the roster application: the component kinds,
// the template store and every handler bound. The program entry and the tests
// both start this way (after creating the FormsApplication).
#pragma once

namespace qr::app {

void startFormsRuntime();

// True when Qt can show windows here: a display, a Wayland session, or a platform
// chosen explicitly (QT_QPA_PLATFORM, the offscreen platform of the tests).
bool displayAvailable();

} // namespace qr::app
