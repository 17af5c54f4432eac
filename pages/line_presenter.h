// The window's view of the line and the port (serial/line_view.h): the
// transmit and receive LEDs of the main panel, its title naming the port, the
// port panel's device line, the port panel put away after the operator's open
// and the password timers started. Each write hands the value to the UI thread
// without waiting for it, so the communication thread is never held.
#pragma once

#include "serial/line_view.h"

class LinePresenter : public LineView {
public:
    void transmitLed(int lit) override;
    void receiveLed(int lit) override;
    void portTitleChanged() override;
    void deviceInfoChanged() override;
    void portOpened() override;
    void passwordPhaseBegins() override;
};

// Puts the port on the main panel's title: "waiting for DEVICE on COMn"
// while a device is waited for, the panel's own title with "- COMn DEVICE"
// while a port is open, else the panel's own title. Any thread.
void ShowPortTitle();
