// The port-configuration panel: open, re-open and close the COM port.
#pragma once

#include <string>
#include <vector>

#include "platform/port/port_discovery.h"
#include "serial/fast_line.h"
#include "serial/port_open.h"

extern int comvalue, btlvalue, jhvalue, longvalue, stopvalue;  // raw ring values

// The raw ring values back to their start (0), as before the panel was
// first read (with the start-up reset).
void ResetPortPanel();
// What "Configure" does once the selections are read: opens (or re-opens)
// the port with comselect .. stopselect and shows the boxes due.
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
