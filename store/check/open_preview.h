// What a writable open of a store would do, found without opening it for writing: a
// writable open corrects the counts in place before it validates the auxiliary file,
// so a tool that must not change a store it cannot open whole asks here first.
#pragma once

#include "store/check/raw_layout.h"
#include "store/result_code.h"

#include <string>
#include <string_view>
#include <vector>

namespace qr::store {

struct OpenPreview {
    ResultCode result = rc::kOk;          // the code the open would fail with, or kOk
    check::RawDataHeader header;          // valid when result is 0
    std::vector<std::string> corrections; // what the open will change, in English
};

OpenPreview previewWritableOpen(std::string_view fileNameGbk);

} // namespace qr::store
