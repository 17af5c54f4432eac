#include "model/link_health.h"

#include <atomic>

#include "platform/clock.h"

namespace {

std::atomic<bool> g_everReplied{false};
std::atomic<std::int64_t> g_lastReplyMs{0};

}  // namespace

void NoteStatusReply()
{
    g_lastReplyMs.store(ClockMs());
    g_everReplied.store(true);
}

std::int64_t MsSinceStatusReply()
{
    if (!g_everReplied.load()) return -1;
    const std::int64_t since = ClockMs() - g_lastReplyMs.load();
    return since < 0 ? 0 : since;
}

void ResetLinkHealth()
{
    g_everReplied.store(false);
    g_lastReplyMs.store(0);
}
