// A file written off the communication thread, as the status recording and
// the capture of the line write theirs: a thread of its own writes what is
// pending every so often and flushes the file every second until stopped,
// then writes the rest and closes it. A write, flush or close that fails
// ends it with a message, taken once by the owner; the line never waits.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class FileDrain {
public:
    // Each step returns false on a failure, with its reason in *reason
    // (which may be null for close).
    struct Steps {
        std::function<bool(std::string* reason)> write;
        std::function<bool(std::string* reason)> flush;
        std::function<bool(std::string* reason)> close;
    };

    FileDrain() = default;
    ~FileDrain() { stop(); }
    FileDrain(const FileDrain&) = delete;
    FileDrain& operator=(const FileDrain&) = delete;

    // Starts the thread, which writes every `every`. A failure to write or
    // flush gives the message `failed` + reason; a failure to close,
    // `incomplete` + reason.
    void start(std::chrono::milliseconds every, Steps steps, std::string failed, std::string incomplete);
    // Writes the rest, closes the file and ends the thread (when one runs).
    void stop();
    // From start until stopped, or until a failure ended it.
    bool running() const { return running_.load(); }
    // The message of a failure, once; empty when there is none.
    std::string takeError();

private:
    void run(std::chrono::milliseconds every);
    void setError(const std::string& message);

    Steps steps_;
    std::string failed_;
    std::string incomplete_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex mutex_;  // guards stop_ and error_
    std::condition_variable wake_;
    bool stop_ = false;
    std::string error_;
};
