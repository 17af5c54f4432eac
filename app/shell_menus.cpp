#include "app/shell_menus.h"

#include <atomic>

#include "model/app_state.h"
#include "pages/write_guard.h"
#include "platform/ui/ui.h"

namespace {

// How long quitting waits for a STOP to leave for the line (a reply to an
// earlier request may hold the line for up to 2 s).
constexpr int kStopSendWaitMs = 3000;

// The three child panels that a menu entry shows and hides.
struct MenuToggle {
    std::atomic<int>* panel;
    std::atomic<int>* shownFlag;
};

void toggle(const MenuToggle& t)
{
    if (t.shownFlag->load() == 0) {
        DisplayPanel(t.panel->load());
        *t.shownFlag = 1;
    } else {
        HidePanel(t.panel->load());
        *t.shownFlag = 0;
    }
}

}  // namespace

void comConfigure(int, int, void*, int)
{
    toggle({&child, &comConfigure_flag});
}
void parameterSet(int, int, void*, int)
{
    toggle({&panel_set, &panelSet_display_flag});
}
void debug(int, int, void*, int)
{
    // Hiding the panel while a motor test may run asks first.
    if (panel_debug_display_flag.load() == 1 && !ConfirmLeavingMotorTest()) return;
    toggle({&panel_debug, &panel_debug_display_flag});
}

bool QuitConsoleWith(int exitCode)
{
    if (!ConfirmLeavingMotorTest()) return false;
    // A STOP still queued goes out before the communication thread ends.
    WaitTestStopSent(kStopSendWaitMs);
    if (RS232COMThreadHandle.load() != 0) RS232COMThreadStop = 1;
    if (RefreshUIThreadHandle.load() != 0) RefreshUIThreadStop = 1;
    QuitUserInterface(exitCode);
    return true;
}

int QuitCallback(int, int, int event, void*, int, int)
{
    if (event == EVENT_COMMIT) QuitConsoleWith(0);
    return 0;
}
