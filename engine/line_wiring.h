// The line as the console runs it: the communication engine's request chooser,
// and the observers that follow what happens on the line (write outcomes,
// link health, line events with their counters, the frame log).
//
// The window and the command line each make one for as long as they run;
// tests make theirs. While one lives, another made meanwhile (the window's,
// inside a test that set the line up already) leaves the line as it is.
#pragma once

#include <vector>

class LineMachine;

class LineWiring {
public:
    explicit LineWiring(LineMachine& line);
    ~LineWiring();
    LineWiring(const LineWiring&) = delete;
    LineWiring& operator=(const LineWiring&) = delete;

    // False for one that found the line set up already.
    bool active() const { return active_; }

private:
    LineMachine& line_;
    bool active_ = false;
    std::vector<int> tokens_;
};
