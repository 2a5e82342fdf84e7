#include "runtime/allocation.h"

#include "runtime/error_report.h"

#include <new>
#include <stdexcept>
#include <string>

namespace qr::runtime {

Text allocationFailureMessage(std::size_t bytes) { return "分配 " + std::to_string(bytes) + " 字节内存失败!"; }

void reportAllocationFailure(std::size_t bytes) { reportRuntimeError(allocationFailureMessage(bytes)); }

} // namespace qr::runtime
