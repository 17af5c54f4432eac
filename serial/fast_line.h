// Line-rate polling: an opt-in way of running the line that ends a reply as
// soon as the bytes its request implies have arrived with a good CRC, or else
// after the Modbus inter-frame silence t3.5, instead of after more than 200 ms
// of silence counted on 100 ms passes. The status block then refreshes as fast
// as the line carries it. The choice is made when the port is opened; the
// line machine (serial/line_machine.h) carries it out.
#pragma once

#include <cstdint>

#include "modbus/modbus.h"
#include "serial/line_machine.h"

// On a network line the port panel's reply time-out also lengthens the wait
// of the framing on passes, for slow links: up to this.
constexpr int NETWORK_REPLY_TIMEOUT_MAX_MS = 10000;

// The port panel's "Reply time-out": 100..10000 ms. Line-rate polling gives a
// reply up after it (at most 2000 ms); on a network line without line-rate
// polling a reply is given up after the longer of it and 2 s.
struct FastLineSettings {
    bool enabled = false;
    int replyTimeoutMs = FAST_LINE_TIMEOUT_DEFAULT_MS;
};

// A reply time-out brought into 100..2000 ms; NaN gives the default.
int ClampReplyTimeoutMs(double ms);
// The panel's value brought into 100..10000 ms; NaN gives the default.
int ClampPanelReplyTimeoutMs(double ms);

// t3.5 in microseconds: 3.5 character times (start bit, data bits, parity
// bit when used, stop bits), and 1750 us at rates above 19200 bit/s.
std::int64_t InterFrameSilenceUs(long baud, int parity, int dataBits, int stopBits);

// The mode in force, set by the port panel each time it opens the port, for
// the line settings the port was opened with (`network`: the port is a
// network device). Safe from any thread.
void ArmFastLine(const FastLineSettings& settings, long baud, int parity, int dataBits, int stopBits,
                 bool network = false);
bool FastLineActive();
int FastLineReplyTimeoutMs();

// Called with the settings each time the port panel has opened the port with
// them, so that the application can keep them; nullptr removes the hook.
using FastLineArmedHook = void (*)(const FastLineSettings& settings);
void SetFastLineArmedHook(FastLineArmedHook hook);
// Hands `settings` (time-out brought into range) to the hook. The port panel
// calls it after letting the communication thread go again.
void FastLineSettingsUsed(const FastLineSettings& settings);
