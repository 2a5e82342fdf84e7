// The pieces of JSON the dump writes: strings and numbers. Floating values take
// their shortest form that reads back to the same value (float as float).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qr::tools {

void appendJsonString(std::string& out, std::string_view utf8);
// Non-finite values have no JSON number; they are written as null.
void appendJsonNumber(std::string& out, double v);
void appendJsonNumber(std::string& out, float v);
void appendJsonNumber(std::string& out, std::int64_t v);

// The shortest decimal text that reads back to the same value; also used by CSV.
std::string shortestText(double v);
std::string shortestText(float v);

} // namespace qr::tools
