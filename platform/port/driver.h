// What a port driver gives the COM table (serial.h): one open device per
// port, the settings it is opened with, and the error codes every port call
// returns.
#pragma once

#include <memory>
#include <string>

// Error codes (negative).
enum {
    kRs232NoError = 0,
    kRs232InvalidPort = -2,  // port number outside 1..20
    kRs232PortNotOpen = -3,
    kRs232OpenFailed = -6,        // device could not be opened or configured
    kRs232InvalidParameter = -7,  // baud, parity, data bits or stop bits not supported
    kRs232WriteFailed = -8,
    kRs232ReadFailed = -9,
    kRs232Timeout = -99,
};

struct SerialSettings {
    long baud = 9600;
    int parity = 0;  // 0 none, 1 odd, 2 even
    int dataBits = 8;
    int stopBits = 1;
    int inputQueueSize = 1024;
    int outputQueueSize = 1024;
};

// One open port.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual int write(const char* buffer, int count) = 0;                  // count written or < 0
    virtual int read(char* buffer, int count, double timeoutSeconds) = 0;  // count read or < 0
    virtual int inputQueueLength() = 0;
    // Waits up to `timeoutSeconds` for input: 1 when some is waiting, 0 when
    // the time ran out, or a negative error. This default looks at the queue
    // every millisecond; a driver that can sleep on its device does better.
    virtual int waitInput(double timeoutSeconds);
    virtual int flushInput() = 0;
    virtual int flushOutput() = 0;
    virtual int close() = 0;
    // How long write() may wait for room in the output queue (the port time-out).
    virtual void setWriteTimeout(double /*seconds*/) {}
    // True once the device has gone away and the device has released it.
    virtual bool lost() const { return false; }
};

// kRs232NoError when `settings` are ones the console's drivers carry: 1200,
// 2400, 4800, 9600, 19200 or 115200 bit/s, parity 0 none, 1 odd or 2 even,
// 7 or 8 data bits (9 cannot be set on a PC port), 1 or 2 stop bits, queue
// sizes not negative; kRs232InvalidParameter otherwise.
int CheckSerialSettings(const SerialSettings& settings);

class SerialDriver {
public:
    virtual ~SerialDriver() = default;
    // Opens and configures `path`; on failure returns nullptr and sets *error.
    virtual std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                               int* error) = 0;
    // True when `path` is one this driver serves. Asked of the drivers that
    // serve paths of their own (port_drivers.h); the system's driver, and one
    // put in its place, take every path the others leave.
    virtual bool claims(const std::string& /*path*/) const { return true; }
    // For a path it claims: true when the device is there now.
    virtual bool present(const std::string& /*path*/) const { return false; }
};
