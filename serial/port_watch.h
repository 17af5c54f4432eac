// Reconnection: while it is switched on, a port whose device goes away (or is
// absent when the operator opens it) is not reported in a box; the console
// waits for the device, once a second looking whether its path is back, and
// then opens it again with the same settings, writes the password and lets the
// polling resume. The switch and the wait are serial/reconnect.h.
//
// The watcher runs on a thread of its own and only sleeps between looks. It
// learns of an unplug from the port layer (SetComLossHandler), never by asking
// the communication thread. The port layer finds it by the errors of the
// port's calls, and the Windows driver also by looking, about once a second
// while the port is in use, whether the device is still there: a pulled
// adapter that only goes quiet is an unplug as well.
#pragma once

#include "serial/reconnect.h"

// Starts the watcher (and takes the port layer's loss reports) / stops it and
// waits for it. Both may be called more than once.
void StartPortWatch();
void StopPortWatch();
// Stops the watcher and forgets the wait, the port opened last, the loss
// shown and the reconnect switch: the state before the settings were read.
void ResetPortWatch();
