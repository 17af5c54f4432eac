// The console's core polling the simulated controller over a pseudo-terminal,
// as the window does once the operator has chosen COM4 on the port panel and
// pressed "__Configure": the tables filled, a recording user interface with
// the port panel's settings, the communication thread and the real 100 ms
// passes. For tests of what the line brings in.
#pragma once

#include <string>

#include "tests/support/recording_ui.h"
#include "tools/sim/simulator.h"

namespace testsupport {

class SimulatedLine {
public:
    static constexpr int kMainPanel = 201;
    static constexpr int kPortPanel = 202;

    // Starts the simulator (see started()) and sets everything up but the port.
    SimulatedLine();
    // Stops the communication thread, closes the port and stops the simulator.
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    bool started() const { return !path_.empty(); }
    const std::string& error() const { return sim_.error(); }
    // Starts the communication thread (once) and opens COM4 as "__Configure"
    // does; false when the port did not open.
    bool open();
    // Closes the port as "Close" on the port panel does.
    void close();

    sim::Simulator& sim() { return sim_; }
    RecordingUi& ui() { return ui_; }

private:
    sim::Simulator sim_;
    std::string path_;
    RecordingUi ui_;
};

}  // namespace testsupport
