#include "tests/support/fake_serial.h"

#include <algorithm>
#include <chrono>

namespace testsupport {

namespace {

class FakeDevice : public SerialDevice {
public:
    explicit FakeDevice(std::shared_ptr<FakeSerialDriver::State> state) : state_(std::move(state)) {}

    int write(const char* buffer, int count) override
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (count < 0) return kRs232WriteFailed;
        const int n = state_->writeLimit < 0 ? count : std::min(count, state_->writeLimit);
        state_->written.insert(state_->written.end(), buffer, buffer + n);
        return n;
    }

    int read(char* buffer, int count, double) override
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->readFails) return kRs232ReadFailed;
        int n = 0;
        while (n < count && !state_->input.empty()) {
            buffer[n++] = static_cast<char>(state_->input.front());
            state_->input.pop_front();
        }
        return n;
    }

    int inputQueueLength() override
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->readFails) return kRs232ReadFailed;
        return static_cast<int>(state_->input.size());
    }

    int waitInput(double timeoutSeconds) override
    {
        std::unique_lock<std::mutex> lock(state_->mutex);
        const auto wait =
            std::chrono::duration<double>(timeoutSeconds > 0 ? std::min(timeoutSeconds, 1e6) : 0);
        return state_->arrived.wait_for(lock, wait, [this] { return !state_->input.empty(); }) ? 1 : 0;
    }

    int flushInput() override
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->input.clear();
        ++state_->inputFlushes;
        return 0;
    }

    int flushOutput() override { return 0; }
    int close() override { return 0; }

private:
    std::shared_ptr<FakeSerialDriver::State> state_;
};

}  // namespace

FakeSerialDriver::FakeSerialDriver() : state_(std::make_shared<State>()) {}
FakeSerialDriver::~FakeSerialDriver() = default;

std::unique_ptr<SerialDevice> FakeSerialDriver::open(const std::string& path, const SerialSettings&,
                                                     int* error)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    ++state_->opens;
    state_->lastPath = path;
    if (error != nullptr) *error = kRs232NoError;
    return std::make_unique<FakeDevice>(state_);
}

void FakeSerialDriver::setWriteLimit(int bytes)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->writeLimit = bytes;
}

void FakeSerialDriver::setReadFailure(bool on)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->readFails = on;
}

void FakeSerialDriver::arrive(const std::vector<unsigned char>& bytes)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->input.insert(state_->input.end(), bytes.begin(), bytes.end());
    state_->arrived.notify_all();
}

std::vector<unsigned char> FakeSerialDriver::written() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->written;
}

std::vector<unsigned char> FakeSerialDriver::takeWritten()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    std::vector<unsigned char> out;
    out.swap(state_->written);
    return out;
}

int FakeSerialDriver::inputFlushes() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->inputFlushes;
}

int FakeSerialDriver::opens() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->opens;
}

std::string FakeSerialDriver::lastPath() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->lastPath;
}

}  // namespace testsupport
