#include "platform/serial.h"

// TODO(serial): port table and POSIX driver.
int OpenComConfig(int, const char*, long, int, int, int, int, int) { return kRs232OpenFailed; }
int CloseCom(int) { return kRs232PortNotOpen; }
int SetComTime(int, double) { return kRs232PortNotOpen; }
int ComWrt(int, const char*, int) { return kRs232PortNotOpen; }
int ComRd(int, char*, int) { return kRs232PortNotOpen; }
int GetInQLen(int) { return kRs232PortNotOpen; }
int FlushInQ(int) { return kRs232PortNotOpen; }
int FlushOutQ(int) { return kRs232PortNotOpen; }
int ReturnRS232Err() { return 0; }
const char* GetRS232ErrorString(int) { return ""; }
bool SetComDevice(int, const std::string&) { return false; }
std::string ComDevicePath(int) { return {}; }
bool ParseComOption(const std::string&) { return false; }
