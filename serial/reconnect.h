// Reconnection's state: whether it is switched on, the port the operator
// opened last (what a reconnect re-opens), the port whose device is waited
// for, and whether a port error box is still due after an unplug. The port
// watcher (serial/port_watch.h) acts on it; the port's open and the line's
// failures consult it. Everything is safe from any thread.
#pragma once

#include <string>

#include "platform/port/serial.h"

void SetReconnectEnabled(bool on);
bool ReconnectEnabled();

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

// --- For the watcher -------------------------------------------------------------------
// The device of `port` went away: true when it is now waited for
// (reconnection on, the port the one opened last, no wait under way).
bool WaitForLostPort(int port);
// The port waited for and its settings; false when none is.
bool AwaitedPort(int* port, SerialSettings* settings);
// `port` opened again with `settings`: the wait for it ends, a loss of it has
// its box again.
void PortReopened(int port, const SerialSettings& settings);
// Ends a wait without telling anyone (the watcher stopped).
void DropPortWait();

// Everything above back to the start: switched off, nothing opened or waited for.
void ResetReconnection();
