// The one place that names the files the application works on. They all live in
// the data directory, which is the run directory unless a test points the
// application at a directory of its own.
#pragma once

#include "runtime/value.h"

namespace qr::app {

// The directory holding config.ini and both stores (GBK, without a trailing "/").
const runtime::Text& dataDirectory();
// Points the application at another directory; an empty text goes back to the run directory.
void setDataDirectory(runtime::Text directory);

runtime::Text configFilePath();   // config.ini
runtime::Text rosterStorePath();  // xsdate.edb (with xsdate.EDT beside it)
runtime::Text recycleStorePath(); // deldate.edb (with deldate.EDT beside it)

} // namespace qr::app
