// The device names of Windows COM ports. Needs no Windows: the port list
// (port_discovery.h) and the Win32 driver both use it.
#pragma once

#include <string>

namespace winserial {

// The device name to open for a COM port name: "\\.\COM12" for "COM12",
// "com12" or "\\.\COM12"; empty when `name` is no COM port name (COM1 ..
// COM256).
std::string ComDeviceName(const std::string& name);

}  // namespace winserial
