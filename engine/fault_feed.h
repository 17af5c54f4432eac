// Feeds a fault tracker from what the line tells its observers
// (modbus/line_observer.h): the accepted replies to the status read, and the
// port opened, closed or failed. A status reply overdue by more than kStaleMs
// ends the link too.
//
// The observer runs on the line's thread and only copies the status words and
// the time into a queue of fixed size (one small lock, no allocation); pump()
// hands what is queued to the tracker on the caller's thread, so the tracker's
// own observers (the journal, the window, the command line's printer) never
// hold up the line. Reports that find the queue full are dropped and count as
// a loss of the link: what happened meanwhile is not known.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "engine/fault_tracker.h"
#include "modbus/line_observer.h"

// Reports kept between two pumps: more than a minute of line-rate polling.
constexpr std::size_t kFaultFeedQueue = 1024;

class FaultFeed {
public:
    // Subscribes to `line` at once; `tracker` is not owned.
    FaultFeed(FaultTracker& tracker, LineObservers& line);
    ~FaultFeed();
    FaultFeed(const FaultFeed&) = delete;
    FaultFeed& operator=(const FaultFeed&) = delete;

    // Hands the queued reports to the tracker, then ends a link whose last
    // status reply is more than kStaleMs old by ClockUs(). Call it often (every
    // 100 to 500 ms), from one thread.
    void pump();
    // Reports queued and not yet pumped.
    std::size_t backlog();

private:
    struct Item {
        enum class Kind : std::uint8_t { Reply, PortOpened, PortGone };
        Kind kind = Kind::Reply;
        StatusReply reply;  // times, and the words of a reply
    };

    void take(const LineReport& report);  // on the line's thread

    FaultTracker& tracker_;
    LineObservers& line_;
    int token_ = 0;
    std::mutex mutex_;  // guards the queue
    std::array<Item, kFaultFeedQueue> queue_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    bool dropped_ = false;
    std::array<Item, kFaultFeedQueue> taken_{};  // pump()'s copy
};
