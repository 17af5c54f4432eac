// The port-configuration panel: open, re-open and close the COM port.
#pragma once

#include <atomic>
#include <string>

extern int comvalue, btlvalue, jhvalue, longvalue, stopvalue;  // raw ring values
extern int comselect;                                          // port number 1..20
extern int btlselect;                                          // bit/s
extern int jhselect;                                           // 0 none, 1 odd, 2 even
extern int longselect;                                         // data bits
extern int stopselect;                                         // stop bits

extern std::atomic<int> comConfigure_success_flag;  // 1 while a port is open and usable
extern std::atomic<int> active_comselect;           // number of the open port

// The port opened last, e.g. "COM4 /dev/ttyUSB0 19200 8O1"; "" before the
// first open. Safe from any thread.
std::string OpenPortDescription();

int Configure(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CloseCOM(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Quit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
