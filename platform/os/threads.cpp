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

std::mutex g_threadsMutex;
std::map<int, std::unique_ptr<Worker>> g_threads;
int g_nextHandle = 1;
std::atomic<int> g_failCreations{0};

}  // namespace

int CreateThread(ThreadRoutine routine)
{
    if (routine == nullptr) return 0;
    int pending = g_failCreations.load();
    while (pending > 0) {
        if (g_failCreations.compare_exchange_weak(pending, pending - 1)) return 0;
    }
    std::lock_guard<std::mutex> lock(g_threadsMutex);
    auto worker = std::make_unique<Worker>();
    Worker* w = worker.get();
    try {
        w->thread = std::thread([w, routine] { w->result = routine(nullptr); });
    } catch (const std::system_error&) {
        return 0;
    }
    const int handle = g_nextHandle++;
    g_threads.emplace(handle, std::move(worker));
    return handle;
}

int JoinThread(int handle)
{
    std::unique_ptr<Worker> worker;
    {
        std::lock_guard<std::mutex> lock(g_threadsMutex);
        auto it = g_threads.find(handle);
        if (it == g_threads.end()) return -1;
        worker = std::move(it->second);
        g_threads.erase(it);
    }
    if (worker->thread.joinable()) worker->thread.join();
    return worker->result.load();
}

void FailNextThreadCreations(int count)
{
    g_failCreations.store(count);
}
