// A capture of the line: every frame as the line machine delimited it, for
// protocol analysers and for playing a session back.
//
// The capture observes the line (modbus/line_observer.h) and makes packets
// of what it reports:
// - a request written: outbound, at the time of the write; its comment is
//   "time-out" when no byte of its reply came in time;
// - a reply handed to the parser: inbound, at the time its last byte was
//   seen, commented with what the parser made of it: "accepted", "password
//   echo", "rejected: CRC", "rejected: exception 2", ...;
// - what had come of a reply when it was given up: inbound, "time-out";
// - bytes the line threw away unparsed: inbound, "not part of a frame: " and
//   when (before a request, after the frame, after the time-out, ...).
// The first packet after a port opened starts an interface, named after the
// port with its line settings, its framing in the description; the port
// closing (or failing, or being opened again) ends it.
//
// The last ten minutes are always kept (modbus/capture_ring.h) and can be
// had as a pcapng file at any time. A capture to a file follows the same
// ring from its start on: a thread of its own writes the file and flushes it
// every second, so the communication thread never waits for it. A file that
// cannot be written stops the capture with a message; the line goes on.
//
// Times are the wall clock when the capture was made, moved on by the
// line's clock: they never step back when the system's time is set.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_drain.h"
#include "modbus/capture_ring.h"
#include "modbus/line_observer.h"

class LineMachine;

struct LineCaptureOptions {
    // The section header's application (shb_userappl): the console and its version.
    std::string application = "drive-console";
    std::size_t keepBytes = kCaptureKeepBytes;
    std::int64_t keepUs = kCaptureKeepUs;
    // The interface of the port just opened; empty: DescribeOpenPort.
    std::function<CaptureInterface()> describePort;
    // Microseconds since 1970-01-01 UTC; empty: the system clock.
    std::function<std::int64_t()> wallUs;
};

// The port the console opened last: named "COM4 /dev/ttyUSB0 19200 8O1",
// described with its framing ("COM4 /dev/ttyUSB0 19200 8O1, 100 ms passes"
// or "..., line rate, reply time-out 500 ms"), with its bit rate.
CaptureInterface DescribeOpenPort();
// The bit rate in a port's name ("COM4 /dev/ttyUSB0 19200 8O1": 19200); 0 when none.
std::uint64_t BitRateOf(const std::string& portName);

class LineCapture {
public:
    // Observes `line` from now on (until destroyed).
    explicit LineCapture(LineMachine& line, LineCaptureOptions options = {});
    ~LineCapture();
    LineCapture(const LineCapture&) = delete;
    LineCapture& operator=(const LineCapture&) = delete;

    // --- A capture to a file ----------------------------------------------------
    // Creates (or truncates) `path` and captures into it from now on. False
    // with *error when it cannot be created or a capture is running.
    bool start(const std::string& path, std::string* error);
    // Writes what is pending and closes the file.
    void stop();
    bool capturing() const { return drain_.running(); }
    std::uint64_t packetsWritten() const { return written_.load(); }
    // The message of a failure that stopped the capture, once; empty when none.
    std::string takeError();

    // --- The last ten minutes ---------------------------------------------------
    // As the bytes of a pcapng file.
    std::vector<unsigned char> lastMinutes() const;
    // Written whole to `path` (or not at all). False with *error.
    bool saveLast(const std::string& path, std::string* error) const;
    CaptureRing::Stats kept() const { return ring_.stats(); }

    // The line will report no more (its thread has ended, the port is
    // closed or about to be): a request still awaiting its reply is kept as
    // it went out, and the interface ends, commented "port closed: " `why`.
    // Only once the line's reports have stopped.
    void lineEnded(const char* why);

    // The observer, as the line calls it.
    void observe(const LineReport& r);

private:
    std::int64_t wallOf(std::int64_t clockUs) const { return anchorWallUs_ + (clockUs - anchorClockUs_); }
    void beginInterface(std::int64_t timeUs);
    void packet(std::int64_t timeUs, CaptureDirection direction, const unsigned char* bytes, int length,
                const char* comment);
    // The request held until its reply shows what became of it.
    void releaseRequest(const char* comment);
    void endInterface(std::int64_t timeUs, const char* comment);
    // Writes what came since the last look; false with *reason on a failure.
    bool writePending(std::string* reason);

    LineMachine& line_;
    LineCaptureOptions options_;
    CaptureRing ring_;
    std::int64_t anchorWallUs_ = 0;
    std::int64_t anchorClockUs_ = 0;
    int token_ = 0;

    // The observer's own (the line calls one observer at a time).
    bool interfaceOpen_ = false;
    unsigned char request_[256] = {};
    int requestLength_ = 0;  // 0: none held
    std::int64_t requestUs_ = 0;
    std::int64_t lastByteUs_ = -1;
    char failure_[128] = {};

    // The capture to a file.
    std::FILE* file_ = nullptr;  // the writing thread's, between start and stop
    std::string path_;
    std::unique_ptr<CaptureFollower> follower_;
    CaptureEncoder encoder_;
    std::atomic<std::uint64_t> written_{0};
    FileDrain drain_;
};
