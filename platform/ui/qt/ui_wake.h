// Wakes the UI thread for work that other threads hand over. The work itself
// waits in the backend's own locked queue; only the wake-up crosses here: an
// eventfd on Linux, a Win32 event on Windows, each watched by the UI thread's
// event loop. Neither goes through Qt's posted events, whose locks the thread
// checker cannot see.
#pragma once

#include <functional>
#include <memory>

class UiWake {
public:
    // Made on the UI thread; `onWake` runs there after each signal().
    explicit UiWake(std::function<void()> onWake);
    ~UiWake();  // on the UI thread
    UiWake(const UiWake&) = delete;
    UiWake& operator=(const UiWake&) = delete;

    // False when the wake-up could not be set up.
    bool valid() const;
    // Any thread. False when the UI thread could not be woken.
    bool signal();
    // UI thread, from onWake: takes the signals given so far back.
    void clear();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
