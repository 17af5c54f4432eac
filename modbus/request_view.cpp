#include "modbus/request_view.h"

#include <cmath>
#include <limits>

std::uint16_t registerWord(double value)
{
    if (std::isnan(value)) return 0;
    // Saturate to the 64-bit range first so that the conversion below is
    // defined for every input; within the range the low 16 bits of the
    // truncated value are exact.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    std::int64_t whole;
    if (value >= kTwoTo63) {
        whole = std::numeric_limits<std::int64_t>::max();
    } else if (value < -kTwoTo63) {
        whole = std::numeric_limits<std::int64_t>::min();
    } else {
        whole = static_cast<std::int64_t>(value);  // truncates toward zero
    }
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFFu);
}
