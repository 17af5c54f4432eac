// What happens on the serial line, told to whoever subscribes.
//
// The line (serial/line_machine.h) reports every request it writes, the reply
// bytes it takes, every reply it hands to the parser (accepted or rejected,
// with the parser's code), every reply time-out, the bytes it throws away
// unparsed, and the port failing, closing or being opened anew. Each report
// carries the line's clock at the moment it was made. It names none of its observers: line events and their
// counters, write outcomes, link health and the frame log subscribe at
// start-up, and so may anything else (a fault history, a test).
//
// Observers are called on the thread that reports, mostly the communication
// thread, and must return promptly: no file I/O, no waiting, no boxes. A
// report's pointers are valid only during the call.
#pragma once

#include <cstdint>

#include "platform/os/observer_list.h"

enum class LineReportKind : std::uint8_t {
    RequestSent,       // bytes: the request as written
    BytesReceived,     // count: reply bytes just taken from the port
    ReplyAccepted,     // bytes: the reply; result: the parser's code; request: what it answers
    ReplyRejected,     // the same, for a reply the parser rejected
    PasswordAccepted,  // follows the ReplyAccepted of the password echo
    Timeout,           // bytes: what had arrived of the reply (often nothing); request: what it answers
    PortFailed,        // text: the message the operator is shown; the port now counts as closed
    PortClosed,        // text: why; keepPending: writes not yet sent stay (reconnect)
    PortOpened,        // text: why; nothing asked for before the open carries over (but see keepPending)
    BytesDiscarded,    // bytes: input that belongs to no reply, read and thrown away; text: when
};

struct LineReport {
    LineReportKind kind = LineReportKind::RequestSent;
    const unsigned char* bytes = nullptr;
    int length = 0;
    const unsigned char* request = nullptr;  // the request on the line, 8 bytes; null when none applies
    int count = 0;
    int result = 0;
    const char* text = "";
    bool keepPending = false;
    std::int64_t clockUs = 0;  // the line's clock (microseconds) when reported
};

using LineObservers = ObserverList<const LineReport&>;
