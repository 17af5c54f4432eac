#include "serial/rs232.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "model/line_flags.h"
#include "serial/line_machine.h"
#include "serial/notices.h"

std::atomic<int> com_idle{1};
std::atomic<int> tx_package_flag{0};
std::atomic<int> sendLedON{0};
unsigned char receive_buffer[RECEIVE_BUFFER_SIZE];
int receive_leng = 0;
int receive_count = 0;
int receive_frame_end_delay = 0;
std::int64_t receive_frame_end_delay_begin = 0;
std::int64_t receive_frame_end_delay_end = 0;
int receive_frame_end_flag = 0;
int receive_frame_length = 0;
int com_idle_delay = 0;
std::int64_t com_idle_delay_begin = 0;
std::int64_t com_idle_delay_end = 0;
std::atomic<int> recieveLedON{0};
std::atomic<int> recieveLedShineDelay{0};

bool take_idle_line()
{
    return TheLine().takeLine();
}

int blinkStep(std::atomic<int>& counter)
{
    const int next = counter.load() < 10 ? counter.load() + 1 : 0;
    counter.store(next);
    return next < 3 ? 1 : 0;
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

void WritePasswordWhenIdle()
{
    // Before the password is accepted the communication thread writes it
    // itself whenever it finds the line idle; afterwards it polls, and the
    // timer must write this one.
    if (TheLine().sendPassword(0) == PasswordSend::LineBusy && hci_commnication_enable_5927.load() == 1) {
        communication_password_sendFlag = 1;
    }
}

namespace {

std::mutex g_hookMutex;
std::function<void()> g_fatalErrorHook;  // guarded by g_hookMutex

}  // namespace

FatalErrorHook::FatalErrorHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    previous_ = g_fatalErrorHook;
    g_fatalErrorHook = [hook = std::move(hook), outer = previous_] {
        if (hook) hook();
        if (outer) outer();
    };
}

FatalErrorHook::~FatalErrorHook()
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_fatalErrorHook = previous_;
}

void ResetFatalErrorHook()
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_fatalErrorHook = nullptr;
}

void ErrorCheck(const char* message, int errorCode, const char* errorText)
{
    (void)errorText;
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_fatalErrorHook;
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
