// The open of a network device from the port panel, off the UI thread: a
// connection may take up to its bound (5 s) to be made or refused, and the
// window keeps drawing meanwhile. One open at a time; the operator's "Close"
// during it closes the port once the open has ended.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class PortOpener {
public:
    PortOpener() = default;
    ~PortOpener();
    PortOpener(const PortOpener&) = delete;
    PortOpener& operator=(const PortOpener&) = delete;

    // Runs `open` on a thread of its own for `port`, then `close` if a close
    // was asked for meanwhile, then `report` once opening() is 0 again (its
    // boxes must not hold the next open up). False, and nothing run, while an
    // open is under way.
    bool start(int port, std::function<void()> open, std::function<void()> close,
               std::function<void()> report);
    // The port being opened, or 0.
    int opening() const { return opening_.load(); }
    // Asks for the port to be closed once the open under way ends; false when
    // none is under way (the caller closes it itself).
    bool closeWhenOpened();
    // Waits for every open started (a box it shows ends with the event loop).
    void join();

private:
    std::mutex threadMutex_;  // threads_
    std::vector<std::thread> threads_;
    std::mutex stateMutex_;  // the end of an open against a close asked for
    std::atomic<int> opening_{0};
    bool closeWanted_ = false;  // behind stateMutex_
};

// The port panel's opener.
PortOpener& ThePortOpener();
