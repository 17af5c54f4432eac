// The console's core polling the simulated controller over a pseudo-terminal,
// as the window does once the operator has chosen COM4 on the port panel and
// pressed "Configure": the tables filled, a recording user interface with
// the port panel's settings, the communication thread and its passes. For
// tests of what the line brings in.
//
// On the stepped clock (see stepped_clock.h) each pass comes as soon as the
// simulator has answered the one before, and the simulator's log, its delays
// and its gaps run on the console's time; on the real clock the passes take
// their real 100 ms.
#pragma once

#include <optional>
#include <string>

#include "tests/support/panels.h"
#include "tests/support/recording_ui.h"
#include "tests/support/stepped_clock.h"
#include "tools/sim/simulator.h"

namespace testsupport {

enum class LineClock { Real, Stepped };

// The simulated controller started on a pseudo-terminal that COM4 stands
// for. On LineClock::Stepped the console's clock is stepped against it from
// here on, and the simulator's log is stamped with that clock.
class SimulatedController {
public:
    // `lineRate` > 0 paces the replies as a line of that many bit/s carries them.
    explicit SimulatedController(LineClock clock = LineClock::Real, long lineRate = 0);
    // Puts the real clock back and stops the simulator.
    ~SimulatedController();
    SimulatedController(const SimulatedController&) = delete;
    SimulatedController& operator=(const SimulatedController&) = delete;

    bool started() const { return !path_.empty(); }
    const std::string& error() const { return sim_.error(); }
    // The simulator's end of the line, as COM4 is set to.
    const std::string& path() const { return path_; }
    sim::Simulator& sim() { return sim_; }
    // The stepped clock and its settle rule; null on the real clock.
    SteppedClock* clock() { return clock_ ? &*clock_ : nullptr; }
    SimulatorSettle* settle() { return settle_ ? &*settle_ : nullptr; }

private:
    sim::Simulator sim_;
    std::string path_;
    std::optional<SimulatorSettle> settle_;
    std::optional<SteppedClock> clock_;
};

class SimulatedLine {
public:
    static constexpr int kMainPanel = testsupport::kMainPanel;
    static constexpr int kPortPanel = testsupport::kPortPanel;

    // Starts the simulator (see started()) and sets everything up but the
    // port. `lineRate` > 0 paces the simulator's replies as a line of that
    // many bit/s carries them.
    explicit SimulatedLine(LineClock clock = LineClock::Real, long lineRate = 0);
    // Stops the communication thread, closes the port and stops the simulator.
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    bool started() const { return controller_.started(); }
    const std::string& error() const { return controller_.error(); }
    const std::string& path() const { return controller_.path(); }
    // Starts the communication thread (once) and opens COM4 as "Configure"
    // does; false when the port did not open.
    bool open();
    // Presses "Configure" alone.
    void configure();
    // Closes the port as "Close" on the port panel does.
    void close();
    // Stops the communication thread and closes the port, as quitting does;
    // the simulator goes on. The destructor does it too.
    void stop();

    sim::Simulator& sim() { return controller_.sim(); }
    RecordingUi& ui() { return ui_; }
    // Types `value` into the first page's "dc limit current" (register 2551,
    // A) and presses its "__OK", through the callback the panel resource
    // attaches to the button. The page must be panel_set_tab[0].
    void pressDcLimit(double value);
    // The stepped clock; null on the real clock.
    SteppedClock* clock() { return controller_.clock(); }

private:
    SimulatedController controller_;
    RecordingUi ui_;
};

}  // namespace testsupport
