// The Windows serial driver and the pieces of it that need no Windows: the
// port settings as the Win32 device control block takes them, and the device
// names of COM ports (com_names.h, included here).
//
// The driver opens \\.\COMn synchronously (no overlapped I/O: a port is used
// by one thread at a time, and Wine carries synchronous reads on a
// pseudo-terminal where overlapped waits do not work). Reads never wait
// inside the device: a read with a time-out asks the device to return as soon
// as one byte is there, and bytes taken while only waiting for input are kept
// for the next read. A device that goes away is lost (SerialDevice::lost):
// when a call fails with one of the errors of DeviceGoneError, or, since some
// drivers (and Wine) let a pulled adapter simply go quiet, when a look at the
// system about once a second while the port is in use finds its COM name gone.
#pragma once

#include <cstdint>
#include <string>

#include "platform/port/com_names.h"
#include "platform/port/driver.h"

namespace winserial {

// The device control block's values for one port set-up (the Win32 constants
// have these values: NOPARITY 0, ODDPARITY 1, EVENPARITY 2; ONESTOPBIT 0,
// TWOSTOPBITS 2).
struct LineSettings {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    // With parity on, a damaged character is replaced by a 0 byte, so the frame
    // keeps its length and fails its checksum.
    bool replaceParityErrors = false;
    std::uint32_t inputQueue = 0;  // 0: the driver's own size
    std::uint32_t outputQueue = 0;
};

// Fills *out for `settings`. Returns kRs232NoError, or kRs232InvalidParameter
// (and leaves *out untouched) for what CheckSerialSettings refuses.
int MakeLineSettings(const SerialSettings& settings, LineSettings* out);

// True when the device, read back after the set-up, holds what was asked;
// the parity counts only with `checkParity`.
bool LineMatches(const LineSettings& wanted, const LineSettings& got, bool checkParity);

// The read time-outs that make a read return at once with what is there
// (waitMs 0), or as soon as one byte is there but after at most waitMs.
struct ReadTimeouts {
    std::uint32_t interval;
    std::uint32_t multiplier;
    std::uint32_t constant;
};
ReadTimeouts ReadTimeoutsFor(std::uint32_t waitMs);

// True for the Win32 error codes by which a port says its device has gone
// (an adapter pulled out, a line hung up).
bool DeviceGoneError(std::uint32_t code);

}  // namespace winserial
