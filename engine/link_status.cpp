#include "engine/link_status.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>

#include "engine/ems.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "platform/ui/ui.h"
#include "serial/port_open.h"

namespace {

constexpr const char* kDot = " \xA1\xA4 ";  // " · " in GBK

// When the port was seen open with no reply since: the silence counts from then.
std::atomic<std::int64_t> g_openSeenMs{-1};
// What the refresh thread drew last; ResetLinkStatus sets both back.
struct Drawn {
    int dimmed = -1;
    std::string text;
};
Drawn g_drawn;

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

void RefreshLinkStatus()
{
    const bool open = comConfigure_success_flag.load() == 1;
    if (!open) {
        g_openSeenMs.store(-1);
    } else if (g_openSeenMs.load() < 0) {
        g_openSeenMs.store(ClockMs());
    }
    const int panel = panelMain.load();
    const std::string text = LinkStatusText();
    if (text != g_drawn.text) {
        SetCtrlVal(panel, uir::panel_main::LINK_STATUS, text.c_str());
        g_drawn.text = text;
    }
    const std::int64_t since = MsSinceAcceptedReply();
    const int dimmed = since < 0 || since > kStaleMs ? 1 : 0;
    if (dimmed == g_drawn.dimmed) return;
    g_drawn.dimmed = dimmed;
    // Every read-out of the status area, the tables (fault list included) once each.
    for (std::size_t i = 0; i < std::size(queryItemID); ++i) {
        const int control = queryItemID[i];
        if (std::find(queryItemID, queryItemID + i, control) != queryItemID + i) continue;
        SetCtrlAttribute(panel, control, ATTR_DIMMED, dimmed);
    }
}

void ResetLinkStatus()
{
    g_openSeenMs.store(-1);
    g_drawn = Drawn{};
}
