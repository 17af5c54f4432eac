// Feeds a fault tracker from what the line reports (modbus/line_events.h):
// the accepted replies to the status read, the port opened, closed or failed,
// and a status reply overdue by more than kStaleMs. Events that the line's
// ring overwrote before they were read count as a loss of the link: what
// happened meanwhile is not known.
//
// The line never waits for the feed: it reads the ring at its own pace. Call
// pump() from one thread, often enough for the ring (every 100 to 500 ms).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/fault_tracker.h"
#include "modbus/line_events.h"

class FaultFeed {
public:
    // Reads the events reported from now on into `tracker` (not owned).
    explicit FaultFeed(FaultTracker& tracker);

    // Hands the unread events to the tracker, then ends a link whose last
    // status reply is more than kStaleMs old by ClockMs().
    void pump();

private:
    FaultTracker& tracker_;
    LineEventReader reader_;
    std::vector<LineEvent> batch_;
    std::uint64_t lostSeen_ = 0;
};
