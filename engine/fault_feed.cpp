#include "engine/fault_feed.h"

#include "engine/traffic_decode.h"
#include "model/link_health.h"
#include "platform/clock.h"

namespace {
constexpr int kBatch = 64;
}  // namespace

FaultFeed::FaultFeed(FaultTracker& tracker) : tracker_(tracker), batch_(kBatch) {}

void FaultFeed::pump()
{
    for (;;) {
        const int n = reader_.read(batch_.data(), kBatch);
        if (reader_.lost() != lostSeen_) {
            lostSeen_ = reader_.lost();
            if (tracker_.tracking())
                tracker_.linkLost(tracker_.lastReply().wallMs, tracker_.lastReply().clockUs);
        }
        for (int i = 0; i < n; ++i) {
            const LineEvent& e = batch_[static_cast<std::size_t>(i)];
            StatusReply reply;
            if (StatusReplyWords(e, reply.words.data())) {
                reply.wallMs = e.wallMs;
                reply.clockUs = e.clockUs;
                tracker_.statusReply(reply);
            } else if (e.kind == LineEventKind::PortOpened) {
                tracker_.portOpened(e.wallMs, e.clockUs);
            } else if (e.kind == LineEventKind::PortError || e.kind == LineEventKind::PortClosed) {
                tracker_.linkLost(e.wallMs, e.clockUs);
            }
        }
        if (n < kBatch) break;
    }
    const StatusReply& last = tracker_.lastReply();
    if (tracker_.tracking() && ClockUs() - last.clockUs > kStaleMs * 1000)
        tracker_.linkLost(last.wallMs, last.clockUs);
}
