// Reconnection: while it is switched on, a port whose device goes away (or is
// absent when the operator opens it) is not reported in a box; the console
// waits for the device, once a second looking whether its path is back, and
// then opens it again with the same settings, writes the password and lets the
// polling resume.
//
// The watcher runs on a thread of its own and only sleeps between looks. It
// learns of an unplug from the port layer (SetComLossHandler), never by asking
// the communication thread. The port layer finds it by the errors of the
// port's calls, and the Windows driver also by looking, about once a second
// while the port is in use, whether the device is still there: a pulled
// adapter that only goes quiet is an unplug as well.
#pragma once

#include <string>

#include "platform/port/serial.h"

void SetReconnectEnabled(bool on);
bool ReconnectEnabled();

// Starts the watcher (and takes the port layer's loss reports) / stops it and
// waits for it. Both may be called more than once.
void StartPortWatch();
void StopPortWatch();
// Stops the watcher and forgets the wait, the port opened last, the loss
// shown and the reconnect switch: the state before the settings were read.
void ResetPortWatch();

// The port panel opened `port` with `settings`: what a reconnect re-opens.
void NotePortOpened(int port, const SerialSettings& settings);
// Waits for the device of `port`, then opens it with `settings`.
void BeginPortWait(int port, const SerialSettings& settings);
// Stops waiting (the operator configured, closed, or switched reconnect off).
void CancelPortWait();
// The port being waited for, or 0.
int WaitingPort();

// True when the device file `path` is there (a symbolic link counts when it
// leads to a device), and for a network device always: the watcher's look at
// it is an attempt to connect.
bool DevicePresent(const std::string& path);

// Whether a port error box is to be shown: after an unplug only the first box
// of the loss is, and none at all while reconnection is on.
bool PortErrorBoxDue();
