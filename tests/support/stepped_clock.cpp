#include "tests/support/stepped_clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "modbus/line_events.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"

namespace testsupport {

namespace {

// The hooks of the platform clock are plain functions: the one clock that is
// installed keeps its state here.
std::atomic<std::int64_t> g_nowUs{0};
std::mutex g_settledMutex;
std::function<bool()> g_settled;

struct Timer {
    std::int64_t periodUs;
    std::int64_t dueUs;
    std::function<void()> tick;
};
std::mutex g_timersMutex;
std::vector<Timer> g_timers;

constexpr auto kSettleLimit = std::chrono::seconds(5);
constexpr auto kLook = std::chrono::microseconds(200);
constexpr auto kRebaseLimit = std::chrono::seconds(2);
// Reply bytes the console never saw and that have not arrived by then are
// taken as dropped on their way (a flush that caught them in the terminal's
// buffer). Far longer than the way takes on a loaded machine: writing off
// bytes still under way lets passes go by before their reply arrives.
constexpr auto kUnseenDropped = std::chrono::seconds(1);

std::int64_t Now()
{
    return g_nowUs.load() / 1000;
}

void WaitSettled()
{
    const auto end = std::chrono::steady_clock::now() + kSettleLimit;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(g_settledMutex);
            if (!g_settled || g_settled()) return;
        }
        if (std::chrono::steady_clock::now() > end) return;
        std::this_thread::sleep_for(kLook);
    }
}

void Pass(int ms)
{
    WaitSettled();
    const std::int64_t end = g_nowUs.load() + std::max(ms, 0) * std::int64_t{1000};
    // The timers due before the pass ends, in the order of their times.
    for (;;) {
        std::function<void()> tick;
        {
            std::lock_guard<std::mutex> lock(g_timersMutex);
            Timer* next = nullptr;
            for (Timer& t : g_timers) {
                if (t.dueUs <= end && (next == nullptr || t.dueUs < next->dueUs)) next = &t;
            }
            if (next == nullptr) break;
            if (next->dueUs > g_nowUs.load()) g_nowUs = next->dueUs;
            next->dueUs += next->periodUs;
            tick = next->tick;
        }
        tick();
        WaitSettled();
    }
    g_nowUs = end;
}

// Ends when the stepped time or the real time has moved on by `ms`, whichever
// comes first: a poller keeps its pace on the passes, and a wait that no pass
// will end (the thread that steps has stopped) still ends.
void Wait(int ms)
{
    if (ms <= 0) return;
    const std::int64_t until = g_nowUs.load() + static_cast<std::int64_t>(ms) * 1000;
    const auto realEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (g_nowUs.load() < until && std::chrono::steady_clock::now() < realEnd) {
        std::this_thread::sleep_for(kLook);
    }
}

}  // namespace

SteppedClock::SteppedClock(std::function<bool()> settled)
{
    {
        std::lock_guard<std::mutex> lock(g_settledMutex);
        g_settled = std::move(settled);
    }
    // Starts where the real clock stands, so that times taken before stay comparable.
    g_nowUs = ClockUs();
    SetClockSource(Now);
    SetSleepHooks(Wait, Pass);
}

SteppedClock::~SteppedClock()
{
    stopTimers();
    SetSleepHooks(nullptr, nullptr);
    SetClockSource(nullptr);
    std::lock_guard<std::mutex> lock(g_settledMutex);
    g_settled = nullptr;
}

std::int64_t SteppedClock::nowMs() const
{
    return Now();
}

void SteppedClock::advance(std::int64_t ms)
{
    g_nowUs += ms * 1000;
}

void SteppedClock::every(int periodMs, std::function<void()> tick)
{
    const std::int64_t period = std::max(periodMs, 1) * std::int64_t{1000};
    std::lock_guard<std::mutex> lock(g_timersMutex);
    g_timers.push_back({period, g_nowUs.load() + period, std::move(tick)});
}

void SteppedClock::stopTimers()
{
    std::lock_guard<std::mutex> lock(g_timersMutex);
    g_timers.clear();
}

void SimulatorSettle::rebase()
{
    // What the console sent so far (its counters still tell it) is taken in
    // by the simulator first: a request of the last command still on its way
    // would otherwise count as one of the next command's.
    const auto end = std::chrono::steady_clock::now() + kRebaseLimit;
    for (;;) {
        const sim::Simulator::Traffic t = sim_.traffic();
        if (!t.busy && t.in - baseIn_.load() >= ReadLinkCounters().bytesSent) break;
        if (std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(kLook);
    }
    restart();
}

void SimulatorSettle::restart()
{
    const sim::Simulator::Traffic t = sim_.traffic();
    baseIn_ = t.in;
    baseOut_ = t.out;
    lastArrived_ = 0;
    missingSince_.reset();
}

bool SimulatorSettle::operator()()
{
    const sim::Simulator::Traffic t = sim_.traffic();
    if (t.busy) return false;
    const LinkCounters c = ReadLinkCounters();
    if (t.in - baseIn_.load() < c.bytesSent) return false;
    // Reply bytes the console dropped (a closed port, a flushed queue) never
    // arrive: they are written off once the port is closed, or once they
    // have not shown up for far longer than a pseudo-terminal takes.
    const bool open = comConfigure_success_flag.load() == 1;
    std::uint64_t arrived = c.bytesReceived;
    if (open) {
        const int queued = GetInQLen(active_comselect.load());
        if (queued > 0) arrived += static_cast<std::uint64_t>(queued);
    }
    // The console's input only shrinks by a flush: what it held and no
    // longer holds was seen to arrive and was dropped, and is written off at once.
    if (arrived < lastArrived_) baseOut_ += lastArrived_ - arrived;
    lastArrived_ = arrived;
    const std::uint64_t written = t.out - baseOut_.load();
    if (arrived >= written) {
        missingSince_.reset();
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!missingSince_) missingSince_ = now;
    if (!open || now - *missingSince_ > kUnseenDropped) {
        baseOut_ = t.out - std::min<std::uint64_t>(arrived, t.out);
        missingSince_.reset();
        return true;
    }
    return false;
}

}  // namespace testsupport
