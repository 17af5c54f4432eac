// Stop requests from the console: the system calls the handler on a thread of
// its own, which sets an event that wait() waits for.
#include <windows.h>

#include <atomic>

#include "platform/os/stop_signals.h"

namespace {

// The handler has no context of its own: it finds the event of the one
// StopSignals that is listening here.
std::atomic<HANDLE> g_stopEvent{nullptr};

BOOL WINAPI onConsoleEvent(DWORD kind)
{
    if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT && kind != CTRL_CLOSE_EVENT) return FALSE;
    const HANDLE event = g_stopEvent.load();
    if (event == nullptr) return FALSE;
    SetEvent(event);
    return TRUE;
}

}  // namespace

struct StopSignals::State {
    HANDLE event = nullptr;
};

StopSignals::StopSignals() : state_(std::make_unique<State>())
{
    state_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_stopEvent.store(state_->event);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_stopEvent.store(nullptr);
    if (state_->event != nullptr) CloseHandle(state_->event);
}

bool StopSignals::waitForRequest(int ms)
{
    if (state_->event == nullptr) {
        Sleep(static_cast<DWORD>(ms));
        return false;
    }
    return WaitForSingleObject(state_->event, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}
