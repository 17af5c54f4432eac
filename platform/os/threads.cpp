#include "platform/os/threads.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct Worker {
    std::thread thread;
    std::atomic<int> result{0};
};

// The workers not joined yet, by handle; `mutex` guards the map and the
// numbering. Nothing here is set back between runs: a worker may still be
// running, an old handle must never name a new worker, and a test arms its
// failed creations before the program it runs starts.
struct ThreadTable {
    std::mutex mutex;
    std::map<int, std::unique_ptr<Worker>> threads;
    int nextHandle = 1;
    std::atomic<int> failCreations{0};
};

ThreadTable g_workers;

}  // namespace

int CreateThread(ThreadRoutine routine)
{
    if (routine == nullptr) return 0;
    int pending = g_workers.failCreations.load();
    while (pending > 0) {
        if (g_workers.failCreations.compare_exchange_weak(pending, pending - 1)) return 0;
    }
    std::lock_guard<std::mutex> lock(g_workers.mutex);
    auto worker = std::make_unique<Worker>();
    Worker* w = worker.get();
    try {
        w->thread = std::thread([w, routine] { w->result = routine(nullptr); });
    } catch (const std::system_error&) {
        return 0;
    }
    const int handle = g_workers.nextHandle++;
    g_workers.threads.emplace(handle, std::move(worker));
    return handle;
}

int JoinThread(int handle)
{
    std::unique_ptr<Worker> worker;
    {
        std::lock_guard<std::mutex> lock(g_workers.mutex);
        auto it = g_workers.threads.find(handle);
        if (it == g_workers.threads.end()) return -1;
        worker = std::move(it->second);
        g_workers.threads.erase(it);
    }
    if (worker->thread.joinable()) worker->thread.join();
    return worker->result.load();
}

void FailNextThreadCreations(int count)
{
    g_workers.failCreations.store(count);
}
