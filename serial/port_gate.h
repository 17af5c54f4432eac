// Keeps the communication thread off the port while the port panel closes and
// opens it. The thread holds the gate for each pass; the port callbacks hold it
// around their close and open. A port error box raised by a gate holder
// releases the gate while it is up, so a modal box on either side never
// deadlocks the other.
#pragma once

void HoldPortGate();
void ReleasePortGate();
// True when the calling thread holds the gate.
bool PortGateHeld();

// The port error box "Error" with `text` (serial/notices.h), the gate let go
// of for the duration of the box when the calling thread holds it. After an unplug only the first failure of
// the lost port is shown, and with reconnection on none is (PortErrorBoxDue).
void PortErrorBox(const char* text);
