#include "app/write_status.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "engine/write_journal.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/uir_ids.h"
#include "platform/app_dirs.h"
#include "platform/clock.h"
#include "platform/ui.h"

namespace {

// Guards the two below. The journal is never destroyed at exit: a console
// that quits normally stops it first, and its thread must not outlive the
// observer registry.
std::mutex g_mutex;
WriteJournal* g_journal = nullptr;
int g_token = 0;

// Both panels show the latest outcome. SetCtrlVal and SetCtrlAttribute only
// store and queue, so this never waits for the UI thread.
void show(const std::string& text, bool good)
{
    const int color = good ? VAL_BLACK : VAL_RED;
    const int lines[][2] = {{panel_set.load(), uir::panel_set::WRITE_STATUS},
                            {panel_debug.load(), uir::panel_debg::WRITE_STATUS}};
    for (const auto& line : lines) {
        SetCtrlAttribute(line[0], line[1], ATTR_TEXT_COLOR, color);
        SetCtrlVal(line[0], line[1], text.c_str());
    }
}

}  // namespace

std::string WriteStatusText(const WriteRecord& record)
{
    const LocalTime t = LocalTimeAt(record.endedMs);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return record.summary() + " " + time;
}

void StartWriteReporting()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_token != 0) return;
    g_token = AddWriteObserver([](const WriteRecord& r) { show(WriteStatusText(r), r.good()); });
    g_journal = new WriteJournal(ConsoleStateDir(), [](const std::string& message) { show(message, false); });
}

void StopWriteReporting()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_token == 0) return;
    RemoveWriteObserver(g_token);
    g_token = 0;
    delete g_journal;
    g_journal = nullptr;
}
