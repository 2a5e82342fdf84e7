// A small template store holding one record of every kind, for reader tests that
// need to damage or vary a store.
#pragma once

#include "forms/template/template_types.h"

namespace qr::forms::testing {

// Two windows: the first with one component of every kind and a menu, the second a
// bare window. Texts are GBK; pictures are a few bytes each.
TemplateStore sampleStore();

} // namespace qr::forms::testing
