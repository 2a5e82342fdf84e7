// Writes window templates in the store's byte format; the reader parses back exactly
// what is written here. Used at build time by the catalogue generator.
#pragma once

#include "forms/template/template_types.h"

#include <optional>
#include <string>

namespace qr::forms {

// The whole store: the window map (ids, then slots: store.mapSlots when it has one per
// window, else zeros) and the templates in map order. Each record's settings block is
// empty when `unitDataStored` is false, the raw block for unknown kinds and rejected
// versions, else the encoding of `unit` at the version it names. Records lie back to
// back in record order.
// std::nullopt (and `error` filled) when something cannot be stored: a zero byte inside
// a zero-terminated text, a block longer than an int32 count, a settings value that does
// not match the record's kind.
std::optional<Bytes> buildTemplateStore(const TemplateStore& store, std::string* error = nullptr);

} // namespace qr::forms
