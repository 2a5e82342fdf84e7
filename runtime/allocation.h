// Memory for texts and byte sets whose size comes from outside the program
// (file lengths, stored field sizes). Running out of memory is one of the two
// faults that end the program, through the runtime error report.
#pragma once

#include "runtime/value.h"

#include <cstddef>

namespace qr::runtime {

// "分配 <bytes> 字节内存失败!" with the count in decimal. Counts beyond the 32-bit
// range are written in full rather than wrapped to a negative number.
Text allocationFailureMessage(std::size_t bytes);

// Shows the allocation failure through the runtime error report; does not return.
[[noreturn]] void reportAllocationFailure(std::size_t bytes);

} // namespace qr::runtime
