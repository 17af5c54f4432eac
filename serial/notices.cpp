#include "serial/notices.h"

#include <atomic>

#include "platform/os/console_io.h"

namespace {

std::atomic<Notices*>& installed()
{
    static std::atomic<Notices*> sink{nullptr};
    return sink;
}

}  // namespace

NoticesInstalled::NoticesInstalled(Notices& sink) : previous_(installed().exchange(&sink)) {}

NoticesInstalled::~NoticesInstalled()
{
    installed().store(previous_);
}

void NoticeError(const char* title, const char* text)
{
    if (Notices* sink = installed().load()) {
        sink->error(title, text);
        return;
    }
    WriteBoxToStderr(title, text);
}

void StderrNotices::error(const char* title, const char* text)
{
    WriteBoxToStderr(title, text);
}
