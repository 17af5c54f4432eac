// The RS-232 port library: ports are addressed by number, COM1..COM20.
//
// COM n resolves to a device path: the `--com N=DEVICE` mapping (SetComDevice)
// if there is one, else the binding the operator chose on the port panel
// (SetComBinding), else the system's own port of that number (/dev/ttyS(n-1)
// on Linux, COMn on Windows). The operations sit over a SerialDevice per open
// port, opened by the driver that its path chooses (port_drivers.h): a loop
// port, a network device (tcp://HOST:PORT, rfc2217://HOST:PORT; net_device.h)
// or the system's serial device. Every function returns a negative RS-232
// error code on failure and records it for ReturnRS232Err. Calls on different
// ports may run on different threads; calls on one port are serialised
// internally.
#pragma once

#include <string>

#include "platform/port/driver.h"
#include "platform/port/port_drivers.h"

constexpr int kMaxComPort = 20;

int OpenComConfig(int port, const char* deviceName, long baudRate, int parity, int dataBits, int stopBits,
                  int inputQueueSize, int outputQueueSize);
int CloseCom(int port);
int SetComTime(int port, double timeoutSeconds);
// Writes `count` bytes, waiting until they have left the output queue, and
// returns the count written (fewer, or negative, is a failure).
int ComWrt(int port, const char* buffer, int count);
// Reads `count` bytes, waiting up to the port time-out; returns the count read
// or a negative error. When the time-out runs out first (or another thread
// closes or re-opens the port meanwhile) it returns the shorter count and
// ReturnRS232Err gives kRs232Timeout. A count of 0 returns 0 at once.
int ComRd(int port, char* buffer, int count);
int GetInQLen(int port);
// Waits until the input queue holds at least one byte or `timeoutUs`
// microseconds have passed. Returns 1 when input is waiting, 0 when the time
// ran out first (or another thread wants to close or re-open the port), or a
// negative error (a line that hung up is kRs232ReadFailed).
int WaitInput(int port, long long timeoutUs);
int FlushInQ(int port);
int FlushOutQ(int port);
// The code of the calling thread's last port call (0 after a success): kept
// per thread, so one thread's failures never show in another's check.
int ReturnRS232Err();
const char* GetRS232ErrorString(int errorCode);

// Maps COM `port` to a device path (the `--com N=DEVICE` option). Returns
// false for a port number outside 1..20.
bool SetComDevice(int port, const std::string& devicePath);
std::string ComDevicePath(int port);
// Parses one `N=DEVICE` argument of `--com` and applies it.
bool ParseComOption(const std::string& arg);

// The operator's binding of COM `port` to a device (kept in the settings);
// an empty path removes it. Returns false for a port number outside 1..20.
bool SetComBinding(int port, const std::string& devicePath);
std::string ComBinding(int port);
// Forgets every `--com` path and binding (the ports stay as they are): the
// state before the command line and the settings were read.
void ResetComDevices();
enum class ComPathSource { Default, Binding, Option };
// Which of the three gives COM `port` its device path.
ComPathSource ComDeviceSource(int port);

// True when the device of COM `port` has gone away while open (hang-up, EIO,
// ENXIO): its descriptor is already closed and every operation on the port
// fails until it is opened or closed again.
bool ComDeviceLost(int port);
// Called once for each loss, with the port number, on the thread whose port
// call found it and while that port is held: it must return at once and must
// not call the port functions. nullptr removes it.
using ComLossHandler = void (*)(int port);
void SetComLossHandler(ComLossHandler handler);

// The path COM `port` opens when nothing binds it: /dev/ttyS(port-1), or
// COM<port> on Windows; empty for a port number outside 1..20.
std::string DefaultComPath(int port);
