#include "engine/ems.h"

#include "model/app_state.h"
#include "platform/clock.h"

std::atomic<int> query_enable_flag{0};
std::atomic<int> tx_package_flag_send{0};
std::atomic<int> sendLedON_1{0};
std::atomic<int> sendLedShineDelay{0};
std::atomic<int> communication_password_sendFlag{0};

// TODO(engine): the pass.
int RS232COMThread(void*)
{
    while (RS232COMThreadStop.load() == 0) Sleep(100);
    RS232COMThreadStatue = 1;
    return 0;
}

int timer_cmPW(int, int, int, void*, int, int) { return 0; }
int timer_cmPW_rt(int, int, int, void*, int, int) { return 0; }
