// The POSIX termios serial driver and the helpers it is built from.
//
// A port is opened non-blocking and stays so; reads and writes wait with
// poll(). The line is put in raw mode (no echo, no signals, no character
// translation, no software or hardware flow control) with every setting applied
// in one tcsetattr call and then read back, so a device that silently ignores a
// setting fails the open instead of running with the wrong framing.
#pragma once

#include <termios.h>

#include "platform/port/driver.h"
#include "platform/port/serial_log.h"

namespace posixserial {

// The termios speed constant for one of the supported rates
// (1200, 2400, 4800, 9600, 19200, 115200), or B0 for any other value.
speed_t BaudConstant(long baud);

// Builds the raw-mode termios for `settings` on top of `base` (the device's
// current attributes). Returns kRs232NoError, or kRs232InvalidParameter when
// the baud rate, parity (0 none, 1 odd, 2 even), data bits (7 or 8; 9 cannot be
// expressed) or stop bits (1 or 2) are not supported; `*out` is then untouched.
int MakeTermios(const SerialSettings& settings, const termios& base, termios* out);

// True for the slave side of a Unix98 pseudo-terminal.
bool IsPseudoTerminal(int fd);

// True when the attributes read back from the device carry what `wanted` asks
// for: speeds, stop bits, raw-mode flags and, except on a pseudo-terminal
// (which has no parity and always carries 8 data bits), parity and data bits.
bool AttributesMatch(const termios& wanted, const termios& got, bool pseudoTerminal);

}  // namespace posixserial
