// The password timer pair: TIMER_CMPW makes a password write due every 10 s,
// TIMER_CMPW_RT performs it within 50 ms once the line is idle.
#include "model/uir_ids.h"
#include "engine/ems.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "platform/ui.h"
#include "serial/rs232.h"

int timer_cmPW(int, int, int event, void*, int, int)
{
    if (event == EVENT_TIMER_TICK) communication_password_sendFlag = 1;
    return 0;
}

int timer_cmPW_rt(int, int, int event, void*, int, int)
{
    if (event != EVENT_TIMER_TICK) return 0;
    if (communication_password_sendFlag.load() != 1) return 0;
    if (!take_idle_line()) return 0;
    communication_password_sendFlag = 0;
    const int value = static_cast<int>(registerWord(communication_password_hci.value.load()));
    if (send_1frame(6, communication_password_hci.address.load(), value) == -1) {
        const int main = panelMain.load();
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW, ATTR_ENABLED, 0);
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW_RT, ATTR_ENABLED, 0);
        return -1;
    }
    return 0;
}
