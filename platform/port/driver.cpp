#include "platform/port/driver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <thread>

namespace {

constexpr double kMaxTimeoutSeconds = 1e6;

}  // namespace

int SerialDevice::waitInput(double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::microseconds(
                              static_cast<long long>(std::isfinite(timeoutSeconds) && timeoutSeconds > 0
                                                         ? std::min(timeoutSeconds, kMaxTimeoutSeconds) * 1e6
                                                         : 0));
    for (;;) {
        const int n = inputQueueLength();
        if (n != 0) return n > 0 ? 1 : n;
        if (std::chrono::steady_clock::now() >= deadline) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int CheckSerialSettings(const SerialSettings& s)
{
    static constexpr long kRates[] = {1200, 2400, 4800, 9600, 19200, 115200};
    const bool rate = std::find(std::begin(kRates), std::end(kRates), s.baud) != std::end(kRates);
    if (!rate || s.parity < 0 || s.parity > 2) return kRs232InvalidParameter;
    if ((s.dataBits != 7 && s.dataBits != 8) || (s.stopBits != 1 && s.stopBits != 2)) {
        return kRs232InvalidParameter;
    }
    return s.inputQueueSize < 0 || s.outputQueueSize < 0 ? kRs232InvalidParameter : kRs232NoError;
}
