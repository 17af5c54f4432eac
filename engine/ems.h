// The communication thread.
#pragma once

#include <atomic>

#include "model/line_flags.h"

extern std::atomic<int> query_enable_flag;  // 1 = block reads may run
extern std::atomic<int> sendLedON_1;
extern std::atomic<int> sendLedShineDelay;

// Communication thread, until RS232COMThreadStop: one loop for both
// framings (engine/line_framing.h), a pass every 100 ms, or while line-rate
// polling is armed (serial/fast_line.h) the rounds of engine/fast_line_loop.h,
// which wait on the port for each reply and send the next request once t3.5
// has passed.
int RS232COMThread(void* parameter);
// Starts that thread and records its handle (RS232COMThreadHandle); false if
// it did not start.
bool StartCommThread();
// Asks the thread to stop and waits for it; does nothing when none runs.
void StopCommThread();
// One pass of that thread in the 100 ms framing (without the pause). Returns
// 0, or -1 when the password write failed.
int RS232COMThreadPass();
// What either framing does while the port is closed: every page is read
// again once it opens, and writes not yet sent end "port not open" (or, with
// reconnection on, stay for the device's return).
void PortClosedPass();

// The transmit LED's blink step of a pass.
void transmitLedStep();

// The request chooser of the send step: takes the idle line and builds at
// most one request (pending writes, then page reads, then the status read),
// setting tx_package_flag when it built one. Start-up hands it to the line
// (engine/line_wiring.h).
void buildNextRequest();
