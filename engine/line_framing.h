// How the communication thread runs the line in one framing (serial/line_machine.h).
// The loop (engine/comm_thread.cpp) is the same for both: it takes the port
// gate, handles a closed port, and when the framing lets a request out it
// chooses between the password and the next request. The framing says the
// rest: the order of a step's parts, how a request goes out, where a frame
// ends and a reply is given up (the line machine's framing), and when the
// thread looks again and how it waits meanwhile.
#pragma once

#include <cstdint>

#include "serial/line_machine.h"

// When the thread looks again: once the clock (ClockUs) reaches `untilUs`, or
// sooner when `forInput` and a byte arrives.
struct LineWait {
    std::int64_t untilUs = 0;
    bool forInput = false;
    bool passwordFailed = false;  // the step's password write failed
};

class LineFraming {
public:
    // The loop's send step, which the framing calls when it lets a request
    // out: the password until it is accepted, else sendRequest.
    using SendStep = PasswordSend (*)(LineMachine& line, LineFraming& framing);

    LineFraming() = default;
    virtual ~LineFraming() = default;
    LineFraming(const LineFraming&) = delete;
    LineFraming& operator=(const LineFraming&) = delete;

    // The framing's way of sending the request the chooser builds.
    virtual void sendRequest(LineMachine& line) = 0;
    // One step with the port open, holding the port gate.
    virtual LineWait openStep(LineMachine& line, SendStep send) = 0;
    // When to look again while the port is closed.
    virtual LineWait closedWait(LineMachine& line) = 0;
    // The wait after a step, outside the port gate.
    virtual void wait(LineMachine& line, const LineWait& wait) = 0;
    // Forgets what the framing kept between steps (start-up; no thread running).
    virtual void reset() {}
};

// A pass every 100 ms: a frame ends after more than 200 ms of silence.
LineFraming& PassesFraming();
// Line-rate polling (serial/fast_line.h): the thread waits on the port for
// the reply and sends the next request once t3.5 has passed.
LineFraming& LineRateFraming();
