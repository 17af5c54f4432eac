#include "platform/os/stop_signals.h"

#include "platform/os/clock.h"

bool StopSignals::wait(int ms)
{
    // While a test steps the console's clock, the wait is a pause on that
    // clock, and a request that came meanwhile is taken after it.
    if (SleepHooked()) {
        Sleep(ms);
        return waitForRequest(0);
    }
    return waitForRequest(ms);
}
