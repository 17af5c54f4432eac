// The serial devices present on this machine: USB adapters, CDC-ACM devices
// and the on-board ports that really exist.
//
// Enumeration goes through a PortEnumerator, the system one by default (Qt's
// serial-port information, which leaves out on-board ports with no UART
// behind them), so that tests can put a fake device list in its place.
#pragma once

#include <map>
#include <string>
#include <vector>

struct SerialPortEntry {
    std::string path;  // /dev/ttyUSB0; COM7 on Windows
    // The name that survives re-enumeration: /dev/serial/by-id/usb-... on
    // Linux; on Windows the adapter's USB identity, USB\VID_0403&PID_6001\A10K3BZ7
    // (StablePortName). Empty when there is none: a binding then keeps the
    // path, which on Windows stays with the adapter's USB socket.
    std::string byIdPath;
    std::string manufacturer;  // USB description, each may be empty
    std::string product;
    std::string serialNumber;
    int vendorId = -1;  // -1 when unknown
    int productId = -1;

    // The path a binding keeps: the by-id name where there is one, since it
    // survives re-enumeration; the device path otherwise.
    const std::string& stablePath() const { return byIdPath.empty() ? path : byIdPath; }
};

class PortEnumerator {
public:
    virtual ~PortEnumerator() = default;
    virtual std::vector<SerialPortEntry> ports() = 0;
};

// Replaces the enumerator (not owned); nullptr restores the system one.
void SetPortEnumerator(PortEnumerator* enumerator);
// The devices present, sorted by path.
std::vector<SerialPortEntry> ListSerialPorts();

// Maps each device that a symbolic link in `dir` resolves to, onto that link
// (the first by name when several lead to one device).
std::map<std::string, std::string> ByIdLinks(const std::string& dir = "/dev/serial/by-id");

// "FTDI FT232R USB UART, serial A10K3BZ7, 0403:6001"; empty when nothing is known.
std::string DescribePort(const SerialPortEntry& entry);
// One line for --list-ports: path, by-id name (or "-") and description.
std::string PortListLine(const SerialPortEntry& entry);

// The entry whose path or by-id name is `path`, or whose device `path` (a
// symbolic link) resolves to; nullptr when none.
const SerialPortEntry* FindPort(const std::vector<SerialPortEntry>& ports, const std::string& path);

// The stable name of a Windows port: "USB\VID_vvvv&PID_pppp\SERIAL" from its USB
// identity, empty when the adapter has no serial number.
std::string StablePortName(const SerialPortEntry& entry);

// True when `path` names a serial device that is there now: for a path that
// a built-in driver claims (a loop port), what that driver finds; else a
// device file (a symbolic link counts when it leads to one), or on Windows a
// COM port that exists or an adapter's stable name that is plugged in.
bool SerialDeviceExists(const std::string& path);
// True only when the system says that `path` names no device now: nothing is
// there (or not a device), or on Windows there is no COM port of that name.
// A device that cannot be looked at for another reason (permissions, a port
// that will not answer) is not taken for gone.
bool SerialDeviceGone(const std::string& path);
