#include "runtime/delay.h"

#include <chrono>
#include <thread>

namespace qr::runtime {

void delay(std::int64_t milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace qr::runtime
