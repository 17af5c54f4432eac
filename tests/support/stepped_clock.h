// Simulated time for tests of the line whose subject is not real time: the
// console's clock (ClockMs, ClockUs) moves on only with the passes of the
// communication thread, each as long as the pass it waits for, and only once
// the other side of the line has settled (the simulator has answered what it
// was sent). A pass then takes microseconds instead of 100 ms, and what the
// console sees is the same on a loaded machine as on an idle one: a reply
// arrives within the pass it was asked for.
//
// Other waits (Sleep) end once the passes have moved time on by as much (or,
// should no pass come, once as much real time has passed): pollers keep their
// pace on the passes and see their deadlines come as the passes go by.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "tools/sim/simulator.h"

namespace testsupport {

class SteppedClock {
public:
    // `settled` says when the other side has answered everything sent so far;
    // a pass waits for it (at most a few seconds of real time).
    explicit SteppedClock(std::function<bool()> settled = {});
    ~SteppedClock();
    SteppedClock(const SteppedClock&) = delete;
    SteppedClock& operator=(const SteppedClock&) = delete;

    std::int64_t nowMs() const;
    // Moves time on by `ms` at once.
    void advance(std::int64_t ms);
    // Calls `tick` every `periodMs` of stepped time, on the thread that steps
    // and between its passes, as a timer control of the window would fire
    // between them. Until stopTimers() or the clock's end.
    void every(int periodMs, std::function<void()> tick);
    void stopTimers();
};

// The settle rule for the simulator on a pseudo-terminal: every byte the
// console has sent has been handled by the simulator, and every reply byte
// the simulator wrote has reached the console (read by it, or waiting in its
// input queue). The console's link counters are the console's side; they
// start from zero at each case and at each command of the command line, so
// the simulator's side is counted from the last rebase(). Reply bytes the
// console drops (a flush, a closed port) never arrive: they are written off
// once seen to go, and bytes never seen only after a long wait.
class SimulatorSettle {
public:
    explicit SimulatorSettle(const sim::Simulator& sim) : sim_(sim) { restart(); }
    // The console's counters are about to start again from zero: once the
    // simulator has taken in what the console sent so far, its side is
    // counted from here.
    void rebase();
    bool operator()();

private:
    void restart();

    const sim::Simulator& sim_;
    std::atomic<std::uint64_t> baseIn_{0};
    std::atomic<std::uint64_t> baseOut_{0};
    // The stepping thread's own.
    std::uint64_t lastArrived_ = 0;  // the reply bytes the console had read or held at the last look
    std::optional<std::chrono::steady_clock::time_point> missingSince_;
};

}  // namespace testsupport
