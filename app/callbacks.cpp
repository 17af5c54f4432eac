#include "app/callbacks.h"

#include "app/fault_window.h"
#include "app/help_windows.h"
#include "app/monitor_window.h"
#include "app/report_window.h"
#include "app/shell_menus.h"
#include "engine/ems.h"
#include "pages/page_callbacks.h"
#include "pages/password_timers.h"
#include "pages/sample5.h"
#include "pages/write_guard.h"
#include "platform/ui/ui.h"

namespace {

const CallbackEntry kShellCallbacks[] = {
    {"QuitCallback", QuitCallback, nullptr, nullptr},
    {"comConfigure", nullptr, comConfigure, nullptr},
    {"parameterSet", nullptr, parameterSet, nullptr},
    {"debug", nullptr, debug, nullptr},
    {"Configure", Configure, nullptr, nullptr},
    {"CloseCOM", CloseCOM, nullptr, nullptr},
    {"Quit", Quit, nullptr, nullptr},
    {"timer_cmPW", timer_cmPW, nullptr, nullptr},
    {"timer_cmPW_rt", timer_cmPW_rt, nullptr, nullptr},
    {"testStop", testStop, nullptr, nullptr},
    {"storeParameters", storeParameters, nullptr, nullptr},
    {"parameterReference", nullptr, parameterReference, nullptr},
    {"aboutConsole", nullptr, aboutConsole, nullptr},
    {"serviceReport", nullptr, serviceReport, nullptr},
    {"ComSelectChanged", ComSelectChanged, nullptr, nullptr},
    {"ChooseDevice", ChooseDevice, nullptr, nullptr},
    {"ReconnectSwitch", ReconnectSwitch, nullptr, nullptr},
    {"monitor", nullptr, monitor, nullptr},
    {"faults", nullptr, faults, nullptr},
};

}  // namespace

void RegisterAllCallbacks()
{
    // Registered once for the process (start-up runs on the UI thread only),
    // and again after a test cleared the registry.
    if (FindCallback(kShellCallbacks[0].name) != nullptr) return;
    RegisterCallbacks(kShellCallbacks, static_cast<int>(std::size(kShellCallbacks)));
    int count = 0;
    const CallbackEntry* pages = PageCallbacks(&count);
    RegisterCallbacks(pages, count);
}
