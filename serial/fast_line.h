// Line-rate polling: an opt-in way of running the line that ends a reply as
// soon as the bytes its request implies have arrived with a good CRC, or else
// after the Modbus inter-frame silence t3.5, instead of after more than 200 ms
// of silence counted on 100 ms passes. The status block then refreshes as fast
// as the line carries it. The choice is made when the port is opened.
#pragma once

#include <cstdint>

constexpr int FAST_LINE_TIMEOUT_MIN_MS = 100;
constexpr int FAST_LINE_TIMEOUT_MAX_MS = 2000;
constexpr int FAST_LINE_TIMEOUT_DEFAULT_MS = 500;

struct FastLineSettings {
    bool enabled = false;
    int replyTimeoutMs = FAST_LINE_TIMEOUT_DEFAULT_MS;
};

// A reply time-out brought into 100..2000 ms; NaN gives the default.
int ClampReplyTimeoutMs(double ms);

// The length a reply to the 8-byte `request` must have, judged from the
// `count` bytes received so far: 5 for an exception reply (function code with
// its top bit set), 5 + 2 x quantity for a read, 8 for a write echo; 0 when
// the request's function is neither, or the quantity could not fit a frame.
int ImpliedReplyLength(const unsigned char* request, const unsigned char* reply, int count);
// The implied length when at least that many bytes are there and the CRC at
// its end checks; else 0.
int CompleteReplyLength(const unsigned char* request, const unsigned char* reply, int count);
// t3.5 in microseconds: 3.5 character times (start bit, data bits, parity
// bit when used, stop bits), and 1750 us at rates above 19200 bit/s.
std::int64_t InterFrameSilenceUs(long baud, int parity, int dataBits, int stopBits);

// The mode in force, set by the port panel each time it opens the port, for
// the line settings the port was opened with. Safe from any thread.
void ArmFastLine(const FastLineSettings& settings, long baud, int parity, int dataBits, int stopBits);
bool FastLineActive();
int FastLineReplyTimeoutMs();

// Called with the settings each time the port panel has opened the port with
// them, so that the application can keep them; nullptr removes the hook.
using FastLineArmedHook = void (*)(const FastLineSettings& settings);
void SetFastLineArmedHook(FastLineArmedHook hook);
// Hands `settings` (time-out brought into range) to the hook. The port panel
// calls it after letting the communication thread go again.
void FastLineSettingsUsed(const FastLineSettings& settings);

// The receive step of this mode, for the communication thread while a reply
// is awaited (com_idle 0): takes what the input queue holds and ends the
// frame when it is complete, after t3.5 of silence, or at the reply time-out.
// An ended frame goes to the parser like any other, with the rest of the input
// queue discarded first. Returns the clock time (ClockUs) by which it wants to
// look again if no byte arrives before.
std::int64_t FastLineReceive();
// The clock time before which no request may go out: t3.5 after the last
// reply ended.
std::int64_t FastLineGuardUntilUs();

// A request the controller has not answered yet (one that timed out, or the
// second of two password writes) would have its reply taken for the next
// request's, and every reply after it would come one request late. So after
// a time-out, a frame the parser rejects, and the end of the password phase,
// the next request waits until the line has been quiet for the reply
// time-out; bytes that arrive meanwhile are discarded.
void FastLineRequireQuiet();
// With the line idle: true when no quiet wait is due (or it has passed).
// Otherwise discards what arrived and sets *untilUs to when to look again.
bool FastLineQuiet(std::int64_t* untilUs);
