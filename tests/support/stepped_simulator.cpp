#include "tests/support/stepped_simulator.h"

#include "platform/os/clock.h"

namespace testsupport {

SteppedSimulator::SteppedSimulator(sim::Simulator& sim)
    : sim_(sim),
      settle_(sim),
      // A simulator that has stopped (a pulled line) answers nothing more:
      // the passes go on without waiting for it, as on a dead line.
      clock_([this] { return !sim_.running() || settle_(); }),
      followedMs_(clock_.nowMs())
{
    sim_.setStampClock(ClockMs);
    sim_.freezeTime();
    // Every millisecond of stepped time, between the passes: the passes and
    // the timer ticks of the clock fall on whole milliseconds, so the
    // simulator never lags the console when a request goes out.
    clock_.every(1, [this] { follow(); });
}

SteppedSimulator::~SteppedSimulator()
{
    clock_.stopTimers();
    sim_.setStampClock(nullptr);
    sim_.resumeTime();
}

void SteppedSimulator::follow()
{
    const std::int64_t now = clock_.nowMs();
    sim_.advanceTime(now - followedMs_);
    followedMs_ = now;
}

}  // namespace testsupport
