// The one entry point every fuzz target defines (in libFuzzer's form, so that any
// engine can drive it); replay_main.cpp calls it once for each input file.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
