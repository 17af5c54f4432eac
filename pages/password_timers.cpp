#include "pages/password_timers.h"

#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/uir_ids.h"
#include "platform/ui/ui.h"
#include "serial/password.h"

int timer_cmPW(int, int, int event, void*, int, int)
{
    if (event == EVENT_TIMER_TICK) communication_password_sendFlag = 1;
    return 0;
}

int timer_cmPW_rt(int, int, int event, void*, int, int)
{
    if (event != EVENT_TIMER_TICK) return 0;
    if (!PasswordWriteDue()) return 0;
    const PasswordSend sent = SendPassword(PasswordCause::Timer);
    if (sent == PasswordSend::Failed) {
        const int main = panelMain.load();
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW, ATTR_ENABLED, 0);
        SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW_RT, ATTR_ENABLED, 0);
        return -1;
    }
    return 0;
}
