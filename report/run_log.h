// What a service report tells of the run: every fault event and every ended
// write since the log was made, kept in memory for the report to take.
//
// The log observes a fault tracker (it is one of its observers) and the write
// outcomes. Both arrive on other threads than the one that takes them, so the
// log holds them behind one small lock; adding never waits for anything else.
// A long run keeps the newest kRunLogLimit of each, and counts what went.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "engine/fault_tracker.h"
#include "modbus/write_outcome.h"

constexpr std::size_t kRunLogLimit = 20000;

class RunLog : public FaultObserver {
public:
    // Observes the write outcomes from now on.
    RunLog();
    ~RunLog() override;
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    void faultEvent(const FaultEvent& event) override;

    struct Copy {
        std::vector<FaultEvent> faults;
        std::vector<WriteRecord> writes;
        std::size_t faultsDropped = 0;  // the oldest, beyond the limit
        std::size_t writesDropped = 0;
    };
    Copy copy() const;

private:
    void write(const WriteRecord& record);

    mutable std::mutex mutex_;  // guards the fields below
    std::vector<FaultEvent> faults_;
    std::vector<WriteRecord> writes_;
    std::size_t faultsDropped_ = 0;
    std::size_t writesDropped_ = 0;
    int token_ = 0;
};
