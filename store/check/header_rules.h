// The rules of the two files' headers that an open does not enforce: bytes that are
// written as zero and never used, the exact version, and the field names. A store
// that breaks them still opens, but was not written by a sound writer.
#pragma once

#include "store/check/chain_audit.h"
#include "store/check/raw_file.h"
#include "store/check/raw_layout.h"

namespace qr::store::check {

// The data file's header and field definitions (already accepted by readDataHeader).
void checkDataHeaderRules(const RawFile& data, const RawDataHeader& header, ProblemList& problems);
// Block 0 of the auxiliary file (already accepted by readAuxHeader).
void checkAuxHeaderRules(const RawFile& aux, ProblemList& problems);

// The field-name rule: not empty, fewer than 16 characters, letters, digits, the
// underline and the Chinese, hiragana and katakana characters, no digit first.
bool isValidFieldName(std::string_view nameGbk);
// Field names compared as lookup compares them: half-width letters without case.
bool sameFieldName(std::string_view a, std::string_view b);

} // namespace qr::store::check
