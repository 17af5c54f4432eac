// A scripted SerialDriver for tests and the fuzz target: records what is
// written, can cut writes short, and lets the test put bytes into the input
// queue whenever it wants them to arrive.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/port/serial.h"

namespace testsupport {

class FakeSerialDriver : public SerialDriver {
public:
    FakeSerialDriver();
    ~FakeSerialDriver() override;

    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override;

    // Each write stores and reports at most this many bytes; -1 (the default)
    // writes everything.
    void setWriteLimit(int bytes);
    // While on, the input queue cannot be read: its length and reads give
    // kRs232ReadFailed.
    void setReadFailure(bool on);
    // Puts bytes into the input queue.
    void arrive(const std::vector<unsigned char>& bytes);

    std::vector<unsigned char> written() const;
    // What was written, forgotten here: a long run keeps no history.
    std::vector<unsigned char> takeWritten();
    int inputFlushes() const;
    int opens() const;
    std::string lastPath() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

// The state every device of one driver shares.
struct FakeSerialDriver::State {
    mutable std::mutex mutex;
    int writeLimit = -1;
    bool readFails = false;
    std::vector<unsigned char> written;
    std::deque<unsigned char> input;
    std::condition_variable arrived;  // signalled when bytes join the input queue
    int inputFlushes = 0;
    int opens = 0;
    std::string lastPath;
};

}  // namespace testsupport
