#include "pages/password_timers.h"

#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/uir_ids.h"
#include "platform/ui/ui.h"
#include "serial/line_machine.h"

int timer_cmPW(int, int, int event, void*, int, int)
{
    if (event == EVENT_TIMER_TICK) communication_password_sendFlag = 1;
    return 0;
}

int timer_cmPW_rt(int, int, int event, void*, int, int)
{
    if (event != EVENT_TIMER_TICK) return 0;
    if (communication_password_sendFlag.load() != 1) return 0;
    const PasswordSend sent = TheLine().sendPassword(0);
    if (sent == PasswordSend::LineBusy) return 0;
    communication_password_sendFlag = 0;
    if (sent == PasswordSend::Failed) {
        const int main = panelMain.load();
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW, ATTR_ENABLED, 0);
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW_RT, ATTR_ENABLED, 0);
        return -1;
    }
    return 0;
}

void ArmPasswordTimers()
{
    using namespace uir::panel_main;
    const int main = panelMain.load();
    SetCtrlAttribute(main, TIMER_CMPW, ATTR_INTERVAL, 10.0);
    SetCtrlAttribute(main, TIMER_CMPW_RT, ATTR_INTERVAL, 0.05);
    SetCtrlAttribute(main, TIMER_CMPW, ATTR_ENABLED, 1);
    SetCtrlAttribute(main, TIMER_CMPW_RT, ATTR_ENABLED, 1);
}

void StopPasswordTimers()
{
    using namespace uir::panel_main;
    const int main = panelMain.load();
    SetCtrlAttribute(main, TIMER_CMPW, ATTR_ENABLED, 0);
    SetCtrlAttribute(main, TIMER_CMPW_RT, ATTR_ENABLED, 0);
    communication_password_sendFlag = 0;
}
