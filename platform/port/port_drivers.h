// The port drivers, and the one a device path opens with.
//
// A path that a built-in driver claims opens with that driver: the name of a
// live loop port (loop_port.h) opens that in-process line. Any other path
// opens with the fallback: the system's driver (termios on POSIX systems, the
// Win32 communications functions on Windows), or the one installed in its
// place with SetSerialDriver, so that another implementation can stand
// beside it.
#pragma once

#include <string>

#include "platform/port/driver.h"

// The driver that opens `path`.
SerialDriver& DriverFor(const std::string& path);
// Sets *claimed to whether a built-in driver claims `path`, and returns
// whether that driver finds its device there now (false when none claims it).
bool ClaimedDevicePresent(const std::string& path, bool* claimed);

#ifdef _WIN32
// The Win32 communications driver, the fallback on Windows.
SerialDriver& WindowsSerialDriver();
#else
// The POSIX termios driver, the fallback elsewhere.
SerialDriver& PosixSerialDriver();
#endif
// The system's driver: termios, or Win32 on Windows.
SerialDriver& SystemSerialDriver();
// Replaces the fallback (not owned): the driver of every path that no
// built-in driver claims. nullptr restores the system's.
void SetSerialDriver(SerialDriver* driver);
