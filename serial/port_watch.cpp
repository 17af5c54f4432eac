#include "serial/port_watch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "model/line_flags.h"
#include "platform/port/port_discovery.h"
#include "serial/line_view.h"
#include "serial/sample5.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kLookInterval = std::chrono::seconds(1);

std::atomic<bool> g_reconnect{false};

// Shared between the watcher thread, the UI thread and the port layer's loss
// report; everything behind `mutex`.
struct Watch {
    std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;
    bool running = false;
    bool stop = false;
    int lostPort = 0;  // reported by the port layer, not yet handled
    int waitPort = 0;  // 0: not waiting
    SerialSettings waitSettings;
    int openedPort = 0;  // the last port the panel opened, and how
    SerialSettings openedSettings;
    int shownLoss = 0;  // the port whose loss has had its one box
};

Watch& watch()
{
    static Watch* w = new Watch;  // never destroyed: a late loss report never meets a dead mutex
    return *w;
}

void OnPortLost(int port)
{
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.lostPort = port;
    w.wake.notify_all();
}

// Shows where the wait stands on the main panel's title; the port panel's
// device line follows.
void ShowWaiting()
{
    TheLineView().portTitleChanged();
    TheLineView().deviceInfoChanged();
}

// A loss on the open port: wait for its device when reconnection is on.
void HandleLoss(int port)
{
    Watch& w = watch();
    bool wait = false;
    SerialSettings settings;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        if (g_reconnect.load() && port == w.openedPort && w.waitPort == 0) {
            w.waitPort = port;
            w.waitSettings = w.openedSettings;
            wait = true;
        }
    }
    if (wait) {
        ShowWaiting();
    } else {
        TheLineView().deviceInfoChanged();
    }
}

// One look: when the awaited device is back, open it again.
void Look()
{
    Watch& w = watch();
    int port = 0;
    SerialSettings settings;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        port = w.waitPort;
        settings = w.waitSettings;
    }
    if (port == 0 || !DevicePresent(ComDevicePath(port))) return;
    if (!ReopenPort(port, settings)) return;  // not ready yet (permissions, a half-gone device): next look
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        if (w.waitPort == port) w.waitPort = 0;
        w.openedPort = port;
        w.openedSettings = settings;
        w.shownLoss = 0;
    }
    ShowWaiting();
}

void Run()
{
    Watch& w = watch();
    auto next = SteadyClock::now() + kLookInterval;
    std::unique_lock<std::mutex> lock(w.mutex);
    while (!w.stop) {
        w.wake.wait_until(lock, next, [&w] { return w.stop || w.lostPort != 0; });
        if (w.stop) break;
        const int lost = w.lostPort;
        w.lostPort = 0;
        const bool look = SteadyClock::now() >= next;
        if (look) next = SteadyClock::now() + kLookInterval;
        lock.unlock();
        if (lost != 0) HandleLoss(lost);
        if (look) Look();
        lock.lock();
    }
}

}  // namespace

void SetReconnectEnabled(bool on)
{
    g_reconnect.store(on);
}

bool ReconnectEnabled()
{
    return g_reconnect.load();
}

void StartPortWatch()
{
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.running) return;
    w.stop = false;
    w.lostPort = 0;
    w.thread = std::thread(Run);
    w.running = true;
    SetComLossHandler(OnPortLost);
}

void StopPortWatch()
{
    Watch& w = watch();
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        if (!w.running) return;
        SetComLossHandler(nullptr);
        w.stop = true;
        w.running = false;
        w.wake.notify_all();
        thread = std::move(w.thread);
    }
    thread.join();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.waitPort = 0;
    w.lostPort = 0;
}

void NotePortOpened(int port, const SerialSettings& settings)
{
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.openedPort = port;
    w.openedSettings = settings;
    w.shownLoss = 0;
}

void BeginPortWait(int port, const SerialSettings& settings)
{
    Watch& w = watch();
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.waitPort = port;
        w.waitSettings = settings;
        w.openedPort = port;
        w.openedSettings = settings;
    }
    ShowWaiting();
}

void CancelPortWait()
{
    Watch& w = watch();
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        if (w.waitPort == 0) return;
        w.waitPort = 0;
    }
    ShowWaiting();
}

int WaitingPort()
{
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    return w.waitPort;
}

bool DevicePresent(const std::string& path)
{
    return SerialDeviceExists(path);
}

bool PortErrorBoxDue()
{
    const int port = active_comselect.load();
    if (!ComDeviceLost(port)) return true;
    if (g_reconnect.load()) return false;
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.shownLoss == port) return false;
    w.shownLoss = port;
    return true;
}

void ResetPortWatch()
{
    StopPortWatch();
    g_reconnect.store(false);
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.waitPort = 0;
    w.lostPort = 0;
    w.openedPort = 0;
    w.openedSettings = SerialSettings{};
    w.waitSettings = SerialSettings{};
    w.shownLoss = 0;
}
