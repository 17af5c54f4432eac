// Line events: what happens on the serial line, for anyone who watches it.
//
// RecordLineReport observes the line (modbus/line_observer.h): every request
// sent, every reply (accepted, or rejected with its result code), every reply
// time-out and every port error is kept here. Recording never allocates and
// holds one small lock only for a copy of the frame, so it cannot slow the line.
//
// Watchers read the events through a LineEventReader of their own, at their
// own pace, from a ring of the most recent kLineEventCapacity events. A reader
// that falls that far behind loses its oldest unread events (it is told how
// many); the line never waits for it. The link health counters are kept at
// the moment of reporting, so they are exact whatever the readers do.
#pragma once

#include <cstdint>

#include "modbus/line_observer.h"

constexpr int kLineEventBytes = 200;      // the longest frame kept with an event
constexpr int kLineEventCapacity = 4096;  // events kept for the readers

enum class LineEventKind : std::uint8_t {
    RequestSent,    // bytes: the request as written
    ReplyAccepted,  // bytes: the reply; result: the parser's code
    ReplyRejected,  // bytes: the reply; result: the parser's code
    Timeout,        // bytes: what had arrived of the reply (often nothing)
    PortError,      // bytes: the message shown to the operator (text)
};

struct LineEvent {
    std::uint64_t sequence = 0;  // counts from 1 over the whole run
    LineEventKind kind = LineEventKind::RequestSent;
    int result = 0;                // parser result code (replies), 0 otherwise
    std::int64_t clockUs = 0;      // ClockUs() when reported
    std::int64_t wallMs = 0;       // calendar time, ms since 1970 (UTC)
    std::int64_t responseUs = -1;  // replies: end of request to last reply byte; -1 otherwise
    int requestLength = 0;         // the request a reply or time-out answers (0: none)
    unsigned char request[8] = {};
    int length = 0;  // of bytes; longer frames are cut to kLineEventBytes
    unsigned char bytes[kLineEventBytes] = {};
};

// --- Recording ----------------------------------------------------------------
// The observer: hands each report to the functions below.
void RecordLineReport(const LineReport& report);
// A request was written to the line (`length` bytes).
void LineRequestSent(const unsigned char* frame, int length);
// `count` reply bytes were taken from the port: counts them and notes the time
// of the last one, which ends the response time.
void LineBytesReceived(int count);
// A reply frame was collected and parsed with result code `result`.
void LineReplyParsed(const unsigned char* frame, int length, int result);
// The reply wait ran out; `partial` holds what had arrived (may be empty).
void LineReplyTimeout(const unsigned char* partial, int length);
// The port failed; `message` is what the operator is shown.
void LinePortError(const char* message);
// The port closed or was opened anew: no request awaits a reply any more, so
// the first request after it starts its response time afresh.
void LinePortChanged();

// True for the result codes of a reply that did what was asked: a read
// stored, a write echoed, the password accepted.
bool IsAcceptedResult(int result);
// The result code in words, e.g. "CRC or length wrong".
const char* ResultInWords(int result);

// --- Link health --------------------------------------------------------------
struct LinkCounters {
    std::uint64_t requests = 0;
    std::uint64_t repliesOk = 0;
    std::uint64_t timeouts = 0;
    std::uint64_t crcErrors = 0;     // bad CRC or a frame too short for its request
    std::uint64_t exceptions = 0;    // exception replies, codes 1..4
    std::uint64_t otherRejects = 0;  // wrong slave, wrong function, unknown block, ...
    std::uint64_t passwordWrites = 0;
    std::uint64_t portErrors = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    std::uint64_t responses = 0;       // replies with a response time
    std::int64_t responseLastUs = -1;  // -1: no reply yet
    std::int64_t responseMinUs = -1;
    std::int64_t responseMaxUs = -1;
    std::int64_t responseSumUs = 0;
    std::int64_t lastGoodReplyWallMs = -1;  // -1: none yet
    double responseMeanUs() const;          // -1 when there was no reply
};

// A consistent copy of the counters.
LinkCounters ReadLinkCounters();
// Sets every counter back to zero (the events kept for readers stay), as
// "Reset counters" does: the counters start from nothing, and an answer to a
// request sent before the reset counts for nothing.
void ResetLinkCounters();
// The counters and the request awaited forgotten, as at start-up.
void ResetLineEvents();

// --- Reading -------------------------------------------------------------------
class LineEventReader {
public:
    // A reader sees the events reported after it was made.
    LineEventReader();
    // Copies up to `max` unread events, oldest first, into `out`; returns how
    // many. Never waits for the line.
    int read(LineEvent* out, int max);
    // Unread events that were overwritten before this reader got to them.
    std::uint64_t lost() const { return lost_; }
    // Skips everything reported so far.
    void skipToNow();

private:
    std::uint64_t next_;
    std::uint64_t lost_ = 0;
};
