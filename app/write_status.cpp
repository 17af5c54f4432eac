#include "app/write_status.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "engine/write_journal.h"
#include "modbus/write_outcome.h"
#include "model/app_state.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "platform/ui/ui.h"

namespace {

// The status line of both panels and the journal behind it. The line shows
// the latest outcome and, while the journal cannot be written, says so under
// it, whatever outcomes come meanwhile.
class WriteReporting {
public:
    WriteReporting()
    {
        token_ = AddWriteObserver([this](const WriteRecord& r) { outcome(WriteStatusText(r), r.good()); });
        journal_ = std::make_unique<WriteJournal>(
            ConsoleStateDir(), [this](const std::string& problem) { journalProblem(problem); },
            [this](const std::string& note) { outcome(Utf8ToGbkLenient(note), true); });
    }
    ~WriteReporting()
    {
        RemoveWriteObserver(token_);
        journal_.reset();  // what is queued is written first
    }
    WriteReporting(const WriteReporting&) = delete;
    WriteReporting& operator=(const WriteReporting&) = delete;

    void drain() { journal_->drain(); }

private:
    void outcome(const std::string& text, bool good)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = text;
        latestGood_ = good;
        showLocked();
    }
    void journalProblem(const std::string& problem)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        problem_ = problem;
        showLocked();
    }
    // The journal's trouble goes on a line of its own under the outcome, so
    // that neither cuts the other short; the tooltip holds both in full.
    // SetCtrlVal, SetCtrlAttribute and SetCtrlToolTip only store and queue, so
    // this never waits for the UI thread.
    void showLocked() const
    {
        std::string text = latest_;
        if (!problem_.empty()) text += (text.empty() ? "" : "\n") + problem_;
        const int color = latestGood_ && problem_.empty() ? VAL_BLACK : VAL_RED;
        const int lines[][2] = {{panel_set.load(), uir::panel_set::WRITE_STATUS},
                                {panel_debug.load(), uir::panel_debg::WRITE_STATUS}};
        for (const auto& line : lines) {
            SetCtrlAttribute(line[0], line[1], ATTR_TEXT_COLOR, color);
            SetCtrlVal(line[0], line[1], text.c_str());
            SetCtrlToolTip(line[0], line[1], text.c_str());
        }
    }

    std::mutex mutex_;  // guards the three below
    std::string latest_;
    bool latestGood_ = true;
    std::string problem_;
    int token_ = 0;
    std::unique_ptr<WriteJournal> journal_;
};

// The reporting of the running console. Never destroyed at exit: a console
// that quits normally stops it first, and the journal's thread must not
// outlive the observer registry.
struct Running {
    std::mutex mutex;  // guards the pointer
    WriteReporting* reporting = nullptr;
};
Running g_running;

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
    std::lock_guard<std::mutex> lock(g_running.mutex);
    if (g_running.reporting == nullptr) g_running.reporting = new WriteReporting();
}

void StopWriteReporting()
{
    std::lock_guard<std::mutex> lock(g_running.mutex);
    delete g_running.reporting;
    g_running.reporting = nullptr;
}

void DrainWriteReporting()
{
    std::lock_guard<std::mutex> lock(g_running.mutex);
    if (g_running.reporting != nullptr) g_running.reporting->drain();
}
