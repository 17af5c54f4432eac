#include "platform/port/port_drivers.h"

#include <atomic>

#include "platform/port/loop_port.h"
#include "platform/port/net_device.h"

namespace {

std::atomic<SerialDriver*> g_fallback{nullptr};

// The built-in driver that claims `path`, or nullptr. They are asked in the
// order listed, all before the fallback.
SerialDriver* ClaimingDriver(const std::string& path)
{
    SerialDriver* const builtIn[] = {
        &LoopPortDriver(), &netport::NetworkPortDriver(),
        // Further kinds of line (recorded sessions) list their drivers here.
    };
    for (SerialDriver* driver : builtIn) {
        if (driver->claims(path)) return driver;
    }
    return nullptr;
}

}  // namespace

SerialDriver& DriverFor(const std::string& path)
{
    if (SerialDriver* driver = ClaimingDriver(path)) return *driver;
    SerialDriver* fallback = g_fallback.load();
    return fallback != nullptr ? *fallback : SystemSerialDriver();
}

bool ClaimedDevicePresent(const std::string& path, bool* claimed)
{
    const SerialDriver* driver = ClaimingDriver(path);
    *claimed = driver != nullptr;
    return driver != nullptr && driver->present(path);
}

SerialDriver& SystemSerialDriver()
{
#ifdef _WIN32
    return WindowsSerialDriver();
#else
    return PosixSerialDriver();
#endif
}

void SetSerialDriver(SerialDriver* driver)
{
    g_fallback.store(driver);
}
