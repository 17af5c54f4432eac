#include "serial/port_opener.h"

PortOpener::~PortOpener()
{
    join();
}

bool PortOpener::start(int port, std::function<void()> open, std::function<void()> close,
                       std::function<void()> report)
{
    std::lock_guard<std::mutex> threadLock(threadMutex_);
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (opening_.load() != 0) return false;
        opening_ = port;
        closeWanted_ = false;
    }
    threads_.emplace_back(
        [this, open = std::move(open), close = std::move(close), report = std::move(report)] {
            open();
            // Busy until a close asked for has run.
            for (;;) {
                {
                    std::lock_guard<std::mutex> lock(stateMutex_);
                    if (!closeWanted_) {
                        opening_ = 0;
                        break;
                    }
                    closeWanted_ = false;
                }
                close();
            }
            report();
        });
    return true;
}

bool PortOpener::closeWhenOpened()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (opening_.load() == 0) return false;
    closeWanted_ = true;
    return true;
}

void PortOpener::join()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        threads.swap(threads_);
    }
    for (std::thread& t : threads) t.join();
}

PortOpener& ThePortOpener()
{
    static PortOpener* opener = new PortOpener;  // never destroyed: joined by the reset and at quit
    return *opener;
}
