#include "engine/fault_feed.h"

#include <chrono>

#include "engine/traffic_decode.h"
#include "model/link_health.h"
#include "platform/os/clock.h"

namespace {

constexpr int kRequestLength = 8;  // the request a report carries

std::int64_t wallNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

FaultFeed::FaultFeed(FaultTracker& tracker, LineObservers& line) : tracker_(tracker), line_(line)
{
    token_ = line_.add([this](const LineReport& r) { take(r); });
}

FaultFeed::~FaultFeed()
{
    line_.remove(token_);
}

void FaultFeed::take(const LineReport& r)
{
    Item item;
    switch (r.kind) {
        case LineReportKind::ReplyAccepted:
            if (!StatusReplyWords(r.request, kRequestLength, r.bytes, r.length, item.reply.words.data()))
                return;
            item.kind = Item::Kind::Reply;
            break;
        case LineReportKind::PortOpened:
            item.kind = Item::Kind::PortOpened;
            break;
        case LineReportKind::PortFailed:
        case LineReportKind::PortClosed:
            item.kind = Item::Kind::PortGone;
            break;
        default:
            return;
    }
    item.reply.clockUs = ClockUs();
    item.reply.wallMs = wallNowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == kFaultFeedQueue) {
        dropped_ = true;
        return;
    }
    queue_[(first_ + count_) % kFaultFeedQueue] = item;
    ++count_;
}

void FaultFeed::pump()
{
    std::size_t n = 0;
    bool dropped = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (; n < count_; ++n) taken_[n] = queue_[(first_ + n) % kFaultFeedQueue];
        first_ = (first_ + count_) % kFaultFeedQueue;
        count_ = 0;
        dropped = dropped_;
        dropped_ = false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Item& item = taken_[i];
        switch (item.kind) {
            case Item::Kind::Reply:
                tracker_.statusReply(item.reply);
                break;
            case Item::Kind::PortOpened:
                tracker_.portOpened(item.reply.wallMs, item.reply.clockUs);
                break;
            case Item::Kind::PortGone:
                tracker_.linkLost(item.reply.wallMs, item.reply.clockUs);
                break;
        }
    }
    // Reports dropped after these: the link as last seen is all that is known.
    const StatusReply& last = tracker_.lastReply();
    if (dropped && tracker_.tracking()) tracker_.linkLost(last.wallMs, last.clockUs);
    if (tracker_.tracking() && ClockUs() - last.clockUs > kStaleMs * 1000)
        tracker_.linkLost(last.wallMs, last.clockUs);
}
