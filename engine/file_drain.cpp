#include "engine/file_drain.h"

#include <utility>

namespace {
constexpr auto kFlushEvery = std::chrono::seconds(1);
}  // namespace

void FileDrain::start(std::chrono::milliseconds every, Steps steps, std::string failed,
                      std::string incomplete)
{
    stop();
    steps_ = std::move(steps);
    failed_ = std::move(failed);
    incomplete_ = std::move(incomplete);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
        error_.clear();
    }
    running_ = true;
    thread_ = std::thread([this, every] { run(every); });
}

void FileDrain::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

std::string FileDrain::takeError()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string e;
    e.swap(error_);
    return e;
}

void FileDrain::setError(const std::string& message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = message;
}

void FileDrain::run(std::chrono::milliseconds every)
{
    auto lastFlush = std::chrono::steady_clock::now();
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_for(lock, every, [this] { return stop_; });
            stopping = stop_;
        }
        std::string reason;
        bool ok = steps_.write(&reason);
        const auto now = std::chrono::steady_clock::now();
        if (ok && (stopping || now - lastFlush >= kFlushEvery)) {
            lastFlush = now;
            ok = steps_.flush(&reason);
        }
        if (!ok) {
            steps_.close(nullptr);
            // The message is there before the owner sees the file stopped.
            setError(failed_ + reason);
            running_ = false;
            return;
        }
        if (stopping) break;
    }
    std::string reason;
    if (!steps_.close(&reason)) setError(incomplete_ + reason);
    running_ = false;
}
