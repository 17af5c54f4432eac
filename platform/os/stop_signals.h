// The user's request to stop a command that runs until told to: SIGINT or
// SIGTERM on Linux, Ctrl+C, Ctrl+Break or the closing of the console window
// on Windows.
#pragma once

#include <memory>

class StopSignals {
public:
    // Takes the requests over from their default (ending the process). On
    // Linux they are blocked on this thread and on the threads it starts from
    // now on, so make this before starting any.
    StopSignals();
    // Gives them back; one that came during the shutdown is dropped.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Waits up to `ms` of the console's clock (platform/os/clock.h) for a stop
    // request; true when one came.
    bool wait(int ms);

private:
    // The system's own wait, up to `ms` of real time.
    bool waitForRequest(int ms);

    struct State;
    std::unique_ptr<State> state_;
};
