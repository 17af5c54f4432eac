// The console's clock stepped against the simulated controller (see
// stepped_clock.h), with the simulator's own time kept in step: its moving
// status values and its timetables (sim::Simulator::schedule) run on the
// console's time, and its request log is stamped with it. A timetable step
// due at simulated time T is in every reply the console asks for at T or
// later by ClockMs(), however fast or slow the passes go in real time.
#pragma once

#include <cstdint>

#include "tests/support/stepped_clock.h"
#include "tools/sim/simulator.h"

namespace testsupport {

class SteppedSimulator {
public:
    // `sim` is started and outlives this; the clock is stepped from here on.
    explicit SteppedSimulator(sim::Simulator& sim);
    ~SteppedSimulator();
    SteppedSimulator(const SteppedSimulator&) = delete;
    SteppedSimulator& operator=(const SteppedSimulator&) = delete;

    SteppedClock& clock() { return clock_; }
    // Call before each command of the command line (see SimulatorSettle::rebase).
    void rebase() { settle_.rebase(); }

private:
    void follow();  // on the stepping thread

    sim::Simulator& sim_;
    SimulatorSettle settle_;
    SteppedClock clock_;
    std::int64_t followedMs_;  // the console's time the simulator's was last moved to
};

}  // namespace testsupport
