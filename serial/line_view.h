// What the line and the port have to show, told to the view installed by
// whoever runs the console (the window's presenter, pages/line_presenter.h):
// the activity LEDs of each pass, that the port's state changed as the main
// panel's title and the port panel's device line show it, and that a port
// opened and its password phase began. With no view
// installed nothing is shown.
//
// The LEDs are told from the communication thread on every pass, the port's
// state from whichever thread changed it (the port panel's, the port
// watcher's, the communication thread's): a view never blocks.
#pragma once

class LineView {
public:
    virtual ~LineView() = default;
    // The transmit / receive LED of this pass: 1 lit, 0 dark.
    virtual void transmitLed(int lit) = 0;
    virtual void receiveLed(int lit) = 0;
    // The port opened, closed, failed or is being waited for: the title that
    // names it is due again.
    virtual void portTitleChanged() = 0;
    // The same for the device line of the selected COM number.
    virtual void deviceInfoChanged() = 0;
    // The operator's open succeeded: the port panel has done its part.
    virtual void portOpened() = 0;
    // A port opened (the operator's or a reconnect) and its password phase
    // begins: the password is written again every 10 s from now on.
    virtual void passwordPhaseBegins() = 0;
};

// Installs `view` (not owned) for as long as the object lives; the view
// installed before comes back when it ends. Installed ones nest and end in the
// reverse order of their making, with no thread telling meanwhile.
class LineViewInstalled {
public:
    explicit LineViewInstalled(LineView& view);
    ~LineViewInstalled();
    LineViewInstalled(const LineViewInstalled&) = delete;
    LineViewInstalled& operator=(const LineViewInstalled&) = delete;

private:
    LineView* previous_;
};

// The installed view, or one that shows nothing.
LineView& TheLineView();
