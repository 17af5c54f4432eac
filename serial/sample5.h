// The port-configuration panel: open, re-open and close the COM port.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "model/line_flags.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "serial/fast_line.h"

extern int comvalue, btlvalue, jhvalue, longvalue, stopvalue;  // raw ring values
extern int comselect;                                          // port number 1..20
extern int btlselect;                                          // bit/s
extern int jhselect;                                           // 0 none, 1 odd, 2 even
extern int longselect;                                         // data bits
extern int stopselect;                                         // stop bits

// The port opened last, e.g. "COM4 /dev/ttyUSB0 19200 8O1"; "" before the
// first open. Safe from any thread.
std::string OpenPortDescription();
// The selections above and the description back to their start (0, ""), as
// before the panel was first read.
void ResetPortPanel();
// What "Configure" does once the selections are read: opens (or re-opens)
// the port with comselect .. stopselect and, when it opened, starts the
// password exchange.
void ConfigureSelectedPort(const FastLineSettings& fastLine = FastLineSettings{});

int Configure(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int CloseCOM(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Quit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The device line, the device chooser and the reconnect switch.
int ComSelectChanged(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ChooseDevice(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ReconnectSwitch(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Shows on DEVICE_INFO the device that the selected COM number opens. Any thread.
void RefreshDeviceInfo();
// The text of DEVICE_INFO for `port`, given the devices present.
std::string DeviceInfoText(int port, const std::vector<SerialPortEntry>& present);
// The device chooser's title ("Device for COM4") and its column heads
// (tab-separated), as the technician reads them (GBK).
std::string DeviceChooserTitle(int port);
std::string DeviceChooserColumns();
// The rows "Device…" offers (device, stable name, description): the serial
// devices `present`, then the network devices bound lately, then the row
// that asks for another network device.
std::vector<std::string> DeviceChoiceRows(const std::vector<SerialPortEntry>& present,
                                          const std::vector<std::string>& recent);
// Sets the reconnect switch and the device line from the loaded choices.
void ShowPortChoices();

// Opens `port` again after its device came back, as Configure does but without
// any box and without touching the panel: the port settings, the password
// write and the password timers. False when the open failed.
bool ReopenPort(int port, const SerialSettings& settings);
