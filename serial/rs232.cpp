#include "serial/rs232.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "model/line_flags.h"
#include "serial/line_machine.h"
#include "serial/notices.h"

bool take_idle_line()
{
    return TheLine().takeLine();
}

void RS232Send()
{
    TheLine().send();
}

void RS232Rec()
{
    TheLine().receivePass();
}

int send_1frame(int functionCode, int address, int value)
{
    return TheLine().writeFrame(functionCode, address, value);
}

void ResetLine(const char* why, bool keepPending)
{
    TheLine().portOpened(why, keepPending);
}

namespace {

// What runs before ErrorCheck ends the process: the hooks installed, nested.
struct FatalHooks {
    std::mutex mutex;
    std::function<void()> run;  // guarded by mutex
};

FatalHooks& fatalHooks()
{
    static FatalHooks* const h = new FatalHooks;  // never destroyed: any thread may meet a fatal error
    return *h;
}

}  // namespace

FatalErrorHook::FatalErrorHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(fatalHooks().mutex);
    previous_ = fatalHooks().run;
    fatalHooks().run = [hook = std::move(hook), outer = previous_] {
        if (hook) hook();
        if (outer) outer();
    };
}

FatalErrorHook::~FatalErrorHook()
{
    std::lock_guard<std::mutex> lock(fatalHooks().mutex);
    fatalHooks().run = previous_;
}

void ResetFatalErrorHook()
{
    std::lock_guard<std::mutex> lock(fatalHooks().mutex);
    fatalHooks().run = nullptr;
}

void ErrorCheck(const char* message, int errorCode, const char* errorText)
{
    (void)errorText;
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(fatalHooks().mutex);
        hook = fatalHooks().run;
    }
    if (hook) hook();
    char text[256];
    std::snprintf(text, sizeof text, "%s (Error = %d).\n\nQuit? ", message != nullptr ? message : "",
                  errorCode);
    NoticeError("ErrorCheck", text);
    // End at once: worker threads are still running, so neither static
    // destructors nor std::thread's terminate-on-destroy may run.
    std::fflush(nullptr);
    std::_Exit(-1);
}
