#include "pages/password_timers.h"

#include "model/app_state.h"
#include "model/line_flags.h"
#include "model/uir_ids.h"
#include "platform/ui/ui.h"
#include "serial/password.h"

int timer_cmPW(int, int, int event, void*, int, int)
{
    if (event == EVENT_TIMER_TICK) MarkPasswordDue();
    return 0;
}

int timer_cmPW_rt(int, int, int event, void*, int, int)
{
    if (event != EVENT_TIMER_TICK || SendDuePassword()) return 0;
    const int main = panelMain.load();
    SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW, ATTR_ENABLED, 0);
    SetCtrlAttribute(main, uir::panel_main::TIMER_CMPW_RT, ATTR_ENABLED, 0);
    return -1;
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
