#include "engine/fault_tracker.h"

#include <algorithm>

#include "model/link_health.h"

namespace {

// The read interval is smoothed over about five replies.
constexpr double kIntervalWeight = 0.2;

double secondsBetween(std::int64_t fromUs, std::int64_t toUs)
{
    return toUs > fromUs ? static_cast<double>(toUs - fromUs) / 1e6 : 0.0;
}

// Fault word w (0..2) of a reply.
std::uint16_t faultWord(const StatusWords& words, int w)
{
    return static_cast<std::uint16_t>(
        words[static_cast<std::size_t>(kFaultWordItem) + static_cast<std::size_t>(w)]);
}

bool anyFaultOn(const StatusWords& words)
{
    for (int w = 0; w < kFaultWordCount; ++w) {
        if (faultWord(words, w) != 0) return true;
    }
    return false;
}

}  // namespace

const char* FaultEventName(FaultEventKind kind)
{
    switch (kind) {
        case FaultEventKind::On:
            return "ON";
        case FaultEventKind::Off:
            return "OFF";
        case FaultEventKind::Lost:
            return "lost";
    }
    return "";
}

int FaultEvent::registerAddress() const
{
    return kStatusTable.first_register + kFaultWordItem + bit / 16;
}

bool FaultBitSet(const StatusWords& words, int bit)
{
    if (bit < 0 || bit >= kFaultBitCount) return false;
    return ((faultWord(words, bit / 16) >> (bit % 16)) & 1u) != 0;
}

void FaultTracker::addObserver(FaultObserver* observer)
{
    if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void FaultTracker::removeObserver(FaultObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void FaultTracker::report(FaultEvent event)
{
    event.sequence = ++sequence_;
    for (FaultObserver* o : observers_) o->faultEvent(event);
}

int FaultTracker::activeCount() const
{
    return static_cast<int>(
        std::count_if(bits_.begin(), bits_.end(), [](const BitState& b) { return b.on; }));
}

bool FaultTracker::isOn(int bit) const
{
    return bit >= 0 && bit < kFaultBitCount && bits_[static_cast<std::size_t>(bit)].on;
}

std::int64_t FaultTracker::onSinceWallMs(int bit) const
{
    return isOn(bit) ? bits_[static_cast<std::size_t>(bit)].onsetWallMs : 0;
}

void FaultTracker::endAll(FaultEventKind kind, std::int64_t wallMs, std::int64_t clockUs)
{
    for (int bit = 0; bit < kFaultBitCount; ++bit) {
        BitState& b = bits_[static_cast<std::size_t>(bit)];
        if (!b.on) continue;
        b.on = false;
        FaultEvent e;
        e.kind = kind;
        e.bit = bit;
        e.wallMs = wallMs;
        e.clockUs = clockUs;
        e.onsetWallMs = b.onsetWallMs;
        e.durationS = secondsBetween(b.onsetClockUs, clockUs);
        e.occurrence = b.occurrences;
        e.frame = b.frame;
        report(e);
    }
}

void FaultTracker::statusReply(const StatusReply& reply)
{
    if (tracking_ && reply.clockUs - last_.clockUs > kStaleMs * 1000) linkLost(last_.wallMs, last_.clockUs);
    if (tracking_) {
        const double interval = secondsBetween(last_.clockUs, reply.clockUs);
        intervalS_ = intervalS_ < 0 ? interval : intervalS_ + kIntervalWeight * (interval - intervalS_);
    }
    // First-out: nothing was on in the reply before (at a first reply there
    // is none before, so nothing known was on).
    const bool first = !tracking_ || !anyFaultOn(last_.words);

    // Clears first, in bit order, then onsets: an event list read in order
    // never shows a bit on twice.
    for (int bit = 0; bit < kFaultBitCount; ++bit) {
        BitState& b = bits_[static_cast<std::size_t>(bit)];
        if (!b.on || FaultBitSet(reply.words, bit)) continue;
        b.on = false;
        FaultEvent e;
        e.kind = FaultEventKind::Off;
        e.bit = bit;
        e.wallMs = reply.wallMs;
        e.clockUs = reply.clockUs;
        e.onsetWallMs = b.onsetWallMs;
        e.durationS = secondsBetween(b.onsetClockUs, reply.clockUs);
        e.occurrence = b.occurrences;
        e.frame = b.frame;
        report(e);
    }
    for (int bit = 0; bit < kFaultBitCount; ++bit) {
        BitState& b = bits_[static_cast<std::size_t>(bit)];
        if (b.on || !FaultBitSet(reply.words, bit)) continue;
        b.on = true;
        b.onsetWallMs = reply.wallMs;
        b.onsetClockUs = reply.clockUs;
        b.frame = reply.words;
        ++b.occurrences;
        anySeen_ = true;
        FaultEvent e;
        e.kind = FaultEventKind::On;
        e.bit = bit;
        e.wallMs = reply.wallMs;
        e.clockUs = reply.clockUs;
        e.onsetWallMs = reply.wallMs;
        e.first = first;
        e.occurrence = b.occurrences;
        e.frame = reply.words;
        report(e);
    }
    last_ = reply;
    tracking_ = true;
}

void FaultTracker::linkLost(std::int64_t wallMs, std::int64_t clockUs)
{
    endAll(FaultEventKind::Lost, wallMs, clockUs);
    tracking_ = false;
    intervalS_ = -1.0;
}

void FaultTracker::portOpened(std::int64_t wallMs, std::int64_t clockUs)
{
    linkLost(wallMs, clockUs);
    for (BitState& b : bits_) b.occurrences = 0;
    for (FaultObserver* o : observers_) o->portOpened();
}

void FaultTracker::reset()
{
    bits_ = {};
    last_ = StatusReply{};
    tracking_ = false;
    anySeen_ = false;
    intervalS_ = -1.0;
}
