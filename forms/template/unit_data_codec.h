// Decoding and encoding of each kind's settings block (the record's unit data).
#pragma once

#include "forms/template/byte_cursor.h"
#include "forms/template/byte_sink.h"
#include "forms/template/template_types.h"

namespace qr::forms::detail {

// Fills record.unit, unitStatus, unitDataStored and rawUnitData from `block` (the rest of
// the record after its fixed fields). Throws StoreFormatError when a length inside the
// block runs past it.
void decodeUnitData(ComponentRecord& record, ByteCursor block);

// Appends the settings block of `record` (see buildTemplateStore). Throws
// std::invalid_argument when `unit` does not match the record's kind.
void encodeUnitData(const ComponentRecord& record, ByteSink& out);

} // namespace qr::forms::detail
