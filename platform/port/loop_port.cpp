#include "platform/port/loop_port.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

// Everything one line holds, behind its one lock. The near end's device and
// the LoopPort share it, so whichever goes first leaves the other a line that
// says so.
struct LoopPort::Line {
    std::mutex mutex;
    std::condition_variable changed;  // bytes arrived either way, or an end opened, closed or went
    std::deque<std::uint8_t> toFar;   // written by the near end, not yet received
    std::deque<std::uint8_t> toNear;  // sent by the far end, not yet read
    bool farGone = false;
    bool nearOpen = false;
    bool interrupted = false;
};

namespace {

using Line = LoopPort::Line;
using SteadyClock = std::chrono::steady_clock;

constexpr double kMaxWaitSeconds = 1e6;

SteadyClock::time_point DeadlineAfter(double seconds)
{
    if (!(seconds > 0)) seconds = 0;  // also catches NaN
    seconds = std::min(seconds, kMaxWaitSeconds);
    return SteadyClock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
}

// The live lines by name. Entries go when their LoopPort does.
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<Line>> lines;
    unsigned next = 1;
};

Registry& registry()
{
    static Registry* r = new Registry;  // never destroyed: a late close never meets a dead mutex
    return *r;
}

class LoopDevice final : public SerialDevice {
public:
    explicit LoopDevice(std::shared_ptr<Line> line) : line_(std::move(line)) {}
    ~LoopDevice() override { close(); }

    int write(const char* buffer, int count) override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232PortNotOpen;
        if (line_->farGone) return lose(kRs232WriteFailed);
        line_->toFar.insert(line_->toFar.end(), buffer, buffer + count);
        line_->changed.notify_all();
        return count;
    }

    int read(char* buffer, int count, double timeoutSeconds) override
    {
        const auto deadline = DeadlineAfter(timeoutSeconds);
        std::unique_lock<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232PortNotOpen;
        int got = 0;
        for (;;) {
            while (got < count && !line_->toNear.empty()) {
                buffer[got++] = static_cast<char>(line_->toNear.front());
                line_->toNear.pop_front();
            }
            if (got >= count) return got;
            // Gone with nothing left to read: as a hung-up line reads.
            if (line_->farGone) return got > 0 ? got : lose(kRs232ReadFailed);
            if (line_->changed.wait_until(lock, deadline) == std::cv_status::timeout) {
                while (got < count && !line_->toNear.empty()) {
                    buffer[got++] = static_cast<char>(line_->toNear.front());
                    line_->toNear.pop_front();
                }
                return got;
            }
        }
    }

    int inputQueueLength() override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232PortNotOpen;
        if (line_->toNear.empty() && line_->farGone) return lose(kRs232ReadFailed);
        return static_cast<int>(std::min<std::size_t>(line_->toNear.size(), 1 << 30));
    }

    int waitInput(double timeoutSeconds) override
    {
        std::unique_lock<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232PortNotOpen;
        const bool ready = line_->changed.wait_until(
            lock, DeadlineAfter(timeoutSeconds), [this] { return !line_->toNear.empty() || line_->farGone; });
        if (!ready) return 0;
        if (!line_->toNear.empty()) return 1;
        return lose(kRs232ReadFailed);
    }

    int flushInput() override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232PortNotOpen;
        line_->toNear.clear();
        return kRs232NoError;
    }

    // Written bytes reach the far end at once: nothing waits to be discarded.
    int flushOutput() override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        return closed_ ? kRs232PortNotOpen : kRs232NoError;
    }

    int close() override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        if (closed_) return kRs232NoError;
        closed_ = true;
        line_->nearOpen = false;
        line_->toNear.clear();
        line_->changed.notify_all();
        return kRs232NoError;
    }

    bool lost() const override
    {
        std::lock_guard<std::mutex> lock(line_->mutex);
        return lost_;
    }

private:
    // Called with the line's lock held: the far end has gone, so the near end
    // lets go of the line, as a device that was unplugged.
    int lose(int code)
    {
        lost_ = true;
        closed_ = true;
        line_->nearOpen = false;
        return code;
    }

    std::shared_ptr<Line> line_;
    bool closed_ = false;  // guarded by line_->mutex
    bool lost_ = false;    // guarded by line_->mutex
};

}  // namespace

LoopPort::LoopPort(const std::string& stem) : line_(std::make_shared<Line>())
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    name_ = stem + "#" + std::to_string(r.next++);
    r.lines[name_] = line_;
}

LoopPort::~LoopPort()
{
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        r.lines.erase(name_);
    }
    std::lock_guard<std::mutex> lock(line_->mutex);
    line_->farGone = true;
    line_->changed.notify_all();
}

std::vector<std::uint8_t> LoopPort::receive(std::chrono::microseconds timeout)
{
    std::unique_lock<std::mutex> lock(line_->mutex);
    line_->changed.wait_for(lock, timeout, [this] { return !line_->toFar.empty() || line_->interrupted; });
    std::vector<std::uint8_t> out(line_->toFar.begin(), line_->toFar.end());
    line_->toFar.clear();
    return out;
}

bool LoopPort::send(const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard<std::mutex> lock(line_->mutex);
    if (!line_->nearOpen) return false;  // nobody listens: the bytes are lost, as on an open line
    line_->toNear.insert(line_->toNear.end(), bytes, bytes + count);
    line_->changed.notify_all();
    return true;
}

void LoopPort::interrupt()
{
    std::lock_guard<std::mutex> lock(line_->mutex);
    line_->interrupted = true;
    line_->changed.notify_all();
}

bool LoopPort::nearOpen() const
{
    std::lock_guard<std::mutex> lock(line_->mutex);
    return line_->nearOpen;
}

namespace {

// The near end of the live loop port named `path`, opened with `settings`;
// nullptr with *error set when `path` names none or the settings are refused.
std::unique_ptr<SerialDevice> OpenNearEnd(const std::string& path, const SerialSettings& settings, int* error)
{
    std::shared_ptr<Line> line;
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        const auto it = r.lines.find(path);
        if (it != r.lines.end()) line = it->second.lock();
    }
    if (!line) {
        *error = kRs232OpenFailed;
        return nullptr;
    }
    if (const int rc = CheckSerialSettings(settings); rc != kRs232NoError) {
        *error = rc;
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(line->mutex);
    if (line->farGone) {
        *error = kRs232OpenFailed;
        return nullptr;
    }
    // One opener at a time, as a COM port allows; a new opener finds no
    // bytes left over from the last.
    if (line->nearOpen) {
        *error = kRs232OpenFailed;
        return nullptr;
    }
    line->toNear.clear();
    line->toFar.clear();
    line->nearOpen = true;
    *error = kRs232NoError;
    return std::make_unique<LoopDevice>(line);
}

// True while a LoopPort named `path` exists.
bool Exists(const std::string& path)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.lines.find(path);
    return it != r.lines.end() && !it->second.expired();
}

class LoopDriver final : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override
    {
        return OpenNearEnd(path, settings, error);
    }
    bool claims(const std::string& path) const override { return Exists(path); }
    bool present(const std::string& path) const override { return Exists(path); }
};

}  // namespace

SerialDriver& LoopPortDriver()
{
    static LoopDriver driver;
    return driver;
}
