#include "model/app_state.h"

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
