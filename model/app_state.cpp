#include "model/app_state.h"

#include <initializer_list>

std::atomic<int> panelMain{0};
std::atomic<int> child{0};
std::atomic<int> panel_set{0};
std::atomic<int> panel_set_tab[6]{};
std::atomic<int> panel_debug{0};
std::atomic<int> panel_debug_tab[2]{};

std::atomic<int> comConfigure_flag{0};
std::atomic<int> panelSet_display_flag{0};
std::atomic<int> panel_debug_display_flag{0};

std::atomic<int> RS232COMThreadHandle{0};
std::atomic<int> RefreshUIThreadHandle{0};
std::atomic<int> RS232COMThreadStop{0};
std::atomic<int> RefreshUIThreadStop{0};
std::atomic<int> RS232COMThreadStatue{0};
std::atomic<int> RefreshUIThreadStatue{0};

void ResetAppState()
{
    for (std::atomic<int>* flag :
         {&panelMain, &child, &panel_set, &panel_debug, &comConfigure_flag, &panelSet_display_flag,
          &panel_debug_display_flag, &RS232COMThreadHandle, &RefreshUIThreadHandle, &RS232COMThreadStop,
          &RefreshUIThreadStop, &RS232COMThreadStatue, &RefreshUIThreadStatue}) {
        flag->store(0);
    }
    for (std::atomic<int>& tab : panel_set_tab) tab.store(0);
    for (std::atomic<int>& tab : panel_debug_tab) tab.store(0);
}
