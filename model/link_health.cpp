#include "model/link_health.h"

#include <atomic>

#include "platform/os/clock.h"

namespace {

// When something last answered.
class ReplyClock {
public:
    void note()
    {
        lastMs_.store(ClockMs());
        ever_.store(true);
    }
    // -1 when nothing answered since the reset.
    std::int64_t since() const
    {
        if (!ever_.load()) return -1;
        const std::int64_t since = ClockMs() - lastMs_.load();
        return since < 0 ? 0 : since;
    }
    void reset()
    {
        ever_.store(false);
        lastMs_.store(0);
    }

private:
    std::atomic<bool> ever_{false};
    std::atomic<std::int64_t> lastMs_{0};
};

struct LinkHealth {
    ReplyClock status;
    ReplyClock any;  // on the port open now
    ReplyClock lineReset;
    std::atomic<bool> unlocked{false};

    void forgetLine()
    {
        any.reset();
        unlocked.store(false);
    }
};

LinkHealth& health()
{
    static LinkHealth h;
    return h;
}

}  // namespace

void NoteStatusReply()
{
    health().status.note();
}

std::int64_t MsSinceStatusReply()
{
    return health().status.since();
}

void NoteAcceptedReply()
{
    health().any.note();
}

void NotePasswordAccepted()
{
    health().unlocked.store(true);
}

std::int64_t MsSinceAcceptedReply()
{
    return health().any.since();
}

bool PortUnlocked()
{
    return health().unlocked.load();
}

void NoteLineReset()
{
    health().forgetLine();
    health().lineReset.note();
}

std::int64_t MsSinceLineReset()
{
    return health().lineReset.since();
}

void ResetLinkHealth()
{
    health().status.reset();
    health().lineReset.reset();
    health().forgetLine();
}
