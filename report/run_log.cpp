#include "report/run_log.h"

namespace {

// Appends, dropping the oldest half-limit at once when full, so that a long
// run does not move the whole log on every event.
template <typename T>
void keep(std::vector<T>& log, const T& item, std::size_t* dropped)
{
    if (log.size() >= kRunLogLimit) {
        const std::size_t n = kRunLogLimit / 2;
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(n));
        *dropped += n;
    }
    log.push_back(item);
}

}  // namespace

RunLog::RunLog()
{
    token_ = AddWriteObserver([this](const WriteRecord& r) { write(r); });
}

RunLog::~RunLog()
{
    RemoveWriteObserver(token_);
}

void RunLog::faultEvent(const FaultEvent& event)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    keep(faults_, event, &faultsDropped_);
}

void RunLog::write(const WriteRecord& record)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    keep(writes_, record, &writesDropped_);
}

RunLog::Copy RunLog::copy() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return {faults_, writes_, faultsDropped_, writesDropped_};
}
