#include "serial/port_watch.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/port/port_discovery.h"
#include "serial/line_view.h"
#include "serial/port_open.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kLookInterval = std::chrono::seconds(1);

// The watcher thread and the loss reported to it; everything behind `mutex`.
struct Watch {
    std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;
    bool running = false;
    bool stop = false;
    int lostPort = 0;  // reported by the port layer, not yet handled
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

// A loss on the open port: wait for its device when reconnection is on; the
// port panel's device line follows either way.
void HandleLoss(int port)
{
    if (!WaitForLostPort(port)) TheLineView().deviceInfoChanged();
}

// One look: when the awaited device is back, open it again.
void Look()
{
    int port = 0;
    SerialSettings settings;
    if (!AwaitedPort(&port, &settings) || !DevicePresent(ComDevicePath(port))) return;
    if (!ReopenPort(port, settings)) return;  // not ready yet (permissions, a half-gone device): next look
    PortReopened(port, settings);
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
    DropPortWait();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.lostPort = 0;
}

void ResetPortWatch()
{
    StopPortWatch();
    ResetReconnection();
    Watch& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.lostPort = 0;
}
