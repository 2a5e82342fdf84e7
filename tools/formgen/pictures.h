// The pictures the program carries, drawn procedurally at build time.
#pragma once

#include "tools/formgen/canvas.h"

namespace qr::formgen {

Canvas drawStartupPicture(int width, int height);   // the start window's background
Canvas drawProgramIcon(int size);                   // the window and tray icon
Canvas drawSamplePhoto(int width, int height);      // a sample student photo
Canvas drawPlaceholderPhoto(int width, int height); // the empty-photo placeholder

} // namespace qr::formgen
