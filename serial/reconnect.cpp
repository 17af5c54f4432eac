#include "serial/reconnect.h"

#include <atomic>
#include <mutex>

#include "model/line_flags.h"
#include "platform/port/port_discovery.h"
#include "serial/line_view.h"

namespace {

// Shared between the watcher thread, the UI thread, the communication thread
// and the port layer's loss report; all but the switch behind `mutex`.
struct Reconnection {
    std::atomic<bool> enabled{false};
    std::mutex mutex;
    int waitPort = 0;  // 0: not waiting
    SerialSettings waitSettings;
    int openedPort = 0;  // the last port the panel opened, and how
    SerialSettings openedSettings;
    int shownLoss = 0;  // the port whose loss has had its one box
};

Reconnection& reconnection()
{
    static Reconnection* r =
        new Reconnection;  // never destroyed: a late loss report never meets a dead mutex
    return *r;
}

// Shows where the wait stands on the main panel's title and the port panel's device line.
void showWaiting()
{
    TheLineView().portTitleChanged();
    TheLineView().deviceInfoChanged();
}

}  // namespace

void SetReconnectEnabled(bool on)
{
    reconnection().enabled.store(on);
}

bool ReconnectEnabled()
{
    return reconnection().enabled.load();
}

void NotePortOpened(int port, const SerialSettings& settings)
{
    Reconnection& r = reconnection();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.openedPort = port;
    r.openedSettings = settings;
    r.shownLoss = 0;
}

void BeginPortWait(int port, const SerialSettings& settings)
{
    Reconnection& r = reconnection();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.waitPort = port;
        r.waitSettings = settings;
        r.openedPort = port;
        r.openedSettings = settings;
    }
    showWaiting();
}

void CancelPortWait()
{
    Reconnection& r = reconnection();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.waitPort == 0) return;
        r.waitPort = 0;
    }
    showWaiting();
}

int WaitingPort()
{
    Reconnection& r = reconnection();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.waitPort;
}

bool DevicePresent(const std::string& path)
{
    return SerialDeviceExists(path);
}

bool PortErrorBoxDue()
{
    const int port = active_comselect.load();
    if (!ComDeviceLost(port)) return true;
    Reconnection& r = reconnection();
    if (r.enabled.load()) return false;
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.shownLoss == port) return false;
    r.shownLoss = port;
    return true;
}

bool WaitForLostPort(int port)
{
    Reconnection& r = reconnection();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!r.enabled.load() || port != r.openedPort || r.waitPort != 0) return false;
        r.waitPort = port;
        r.waitSettings = r.openedSettings;
    }
    showWaiting();
    return true;
}

bool AwaitedPort(int* port, SerialSettings* settings)
{
    Reconnection& r = reconnection();
    std::lock_guard<std::mutex> lock(r.mutex);
    *port = r.waitPort;
    *settings = r.waitSettings;
    return r.waitPort != 0;
}

void PortReopened(int port, const SerialSettings& settings)
{
    Reconnection& r = reconnection();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.waitPort == port) r.waitPort = 0;
        r.openedPort = port;
        r.openedSettings = settings;
        r.shownLoss = 0;
    }
    showWaiting();
}

void DropPortWait()
{
    Reconnection& r = reconnection();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.waitPort = 0;
}

void ResetReconnection()
{
    Reconnection& r = reconnection();
    r.enabled.store(false);
    std::lock_guard<std::mutex> lock(r.mutex);
    r.waitPort = 0;
    r.waitSettings = SerialSettings{};
    r.openedPort = 0;
    r.openedSettings = SerialSettings{};
    r.shownLoss = 0;
}
