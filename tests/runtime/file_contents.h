// Whole files for the runtime's tests, which compare them as text.
#pragma once

#include <string>

namespace qr::runtime::testing {

// Whole file as bytes; "<missing>" when it cannot be opened.
std::string slurp(const std::string& path);
void spit(const std::string& path, const std::string& bytes);

} // namespace qr::runtime::testing
