#include "engine/link_status.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstdint>

#include "model/line_flags.h"
#include "model/link_health.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "serial/port_open.h"

namespace {

constexpr const char* kDot = " \xA1\xA4 ";  // " · " in GBK

// When the port was seen open with no reply since: the silence counts from then.
std::atomic<std::int64_t> g_openSeenMs{-1};

// A word of the line as the technician's language has it, in GBK. Without a
// translator (the commands, "As shipped") the English word itself.
std::string shown(const char* word)
{
    return Utf8ToGbkLenient(QCoreApplication::translate("LinkStatus", word).toStdString());
}

}  // namespace

std::string LinkStatusText()
{
    if (comConfigure_success_flag.load() != 1) return shown(QT_TRANSLATE_NOOP("LinkStatus", "port closed"));
    const std::int64_t since = MsSinceAcceptedReply();
    std::string text = OpenPortDescription() + "\n";
    if (since >= 0 && since <= kReplyingMs) {
        text += shown(QT_TRANSLATE_NOOP("LinkStatus", "replying"));
    } else {
        // Silent since the last reply, or since the port was opened if that is later.
        std::int64_t silent = since;
        const std::int64_t openSeen = g_openSeenMs.load();
        for (const std::int64_t open : {openSeen >= 0 ? ClockMs() - openSeen : -1, MsSinceLineReset()}) {
            if (open >= 0) silent = silent < 0 ? open : std::min(silent, open);
        }
        text += Utf8ToGbkLenient(QCoreApplication::translate("LinkStatus", "NO REPLY for %1 s")
                                     .arg(std::max<std::int64_t>(silent, 0) / 1000)
                                     .toStdString());
    }
    text += kDot;
    text += PortUnlocked() ? shown(QT_TRANSLATE_NOOP("LinkStatus", "unlocked"))
                           : shown(QT_TRANSLATE_NOOP("LinkStatus", "locked"));
    return text;
}

LinkStatusView CurrentLinkStatus()
{
    const bool open = comConfigure_success_flag.load() == 1;
    if (!open) {
        g_openSeenMs.store(-1);
    } else if (g_openSeenMs.load() < 0) {
        g_openSeenMs.store(ClockMs());
    }
    LinkStatusView view;
    view.text = LinkStatusText();
    const std::int64_t since = MsSinceAcceptedReply();
    view.dimmed = since < 0 || since > kStaleMs;
    return view;
}

void ResetLinkStatus()
{
    g_openSeenMs.store(-1);
}
