// The port's selections and the one sequence that opens the port: for the
// operator (the port panel's Configure, the simulated controller opened at
// start, a replay's port, a command's port) and for a reconnect (the port
// watcher, once the device is back). Also the operator's close.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/line_flags.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "serial/fast_line.h"

extern int comselect;   // port number 1..20
extern int btlselect;   // bit/s
extern int jhselect;    // 0 none, 1 odd, 2 even
extern int longselect;  // data bits
extern int stopselect;  // stop bits

// Why the port opens.
enum class PortOpenCause : std::uint8_t {
    // Closes the port open before (a failure is a box), waits for an absent
    // device with reconnection on, arms the framing, and treats a failure to
    // set the port's time-out as fatal (ErrorCheck); after the open the
    // password is written once the line is idle.
    Operator,
    // Leaves a port the operator opened meanwhile standing, keeps the
    // framing armed before, gives up quietly (the next look tries again); the
    // password is written before the communication thread's next pass.
    Reconnect,
};

struct PortOpening {
    int port = 0;
    SerialSettings settings;
    FastLineSettings fastLine;  // the operator's; a reconnect keeps the framing
    PortOpenCause cause = PortOpenCause::Operator;
    bool keepPending = false;  // writes not yet sent stay for the port (a reconnect)
};

// The operator's open of the selections comselect .. stopselect.
PortOpening SelectedPortOpening(const FastLineSettings& fastLine);
// A reconnect of `port` with the settings it had.
PortOpening ReconnectOpening(int port, const SerialSettings& settings);

// Opens the port as `opening` says, holding the communication thread and the
// port watcher off the port meanwhile. The boxes due (English texts of the
// "PortPanel" context) are added to *boxes, for the caller to show once the
// port is let go (a box held up while the port is held would hold up every
// other user of the port with it). The view (serial/line_view.h) is told that
// the port opened and the password phase began, and the title. True when the
// port is open afterwards.
bool OpenPort(const PortOpening& opening, std::vector<const char*>* boxes);

// Opens `port` again after its device came back (a reconnect): no box, and
// false when the open failed.
bool ReopenPort(int port, const SerialSettings& settings);

// The operator's close: what became of it.
enum class PortClose : std::uint8_t { NotOpen, Closed, Failed };
PortClose ClosePort();

// The port opened last, e.g. "COM4 /dev/ttyUSB0 19200 8O1"; "" before the
// first open. Safe from any thread.
std::string OpenPortDescription();
// The selections and the description back to their start (0, ""), the
// network opens under way ended.
void ResetPortOpen();
