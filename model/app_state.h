// Process-wide handles and thread flags of the application shell.
//
// Panel handles are written once during start-up, before the worker threads
// exist, and only read afterwards. The stop flags are written by the UI thread
// only, the ended ("Statue") flags by their own worker only.
#pragma once

#include <atomic>

extern std::atomic<int> panelMain;           // PANEL_MAIN of mainwin.uir
extern std::atomic<int> child;               // PANEL_COM of sample5.uir
extern std::atomic<int> panel_set;           // PANEL_SET of mainwin.uir
extern std::atomic<int> panel_set_tab[6];    // its six tab pages
extern std::atomic<int> panel_debug;         // PANEL_DEBG of debug.uir
extern std::atomic<int> panel_debug_tab[2];  // its two tab pages

extern std::atomic<int> comConfigure_flag;         // 1 = port panel shown
extern std::atomic<int> panelSet_display_flag;     // 1 = parameter panel shown
extern std::atomic<int> panel_debug_display_flag;  // 1 = debug panel shown

extern std::atomic<int> RS232COMThreadHandle;   // 0 = not started
extern std::atomic<int> RefreshUIThreadHandle;  // 0 = not started
extern std::atomic<int> RS232COMThreadStop;     // 1 = asked to end
extern std::atomic<int> RefreshUIThreadStop;
extern std::atomic<int> RS232COMThreadStatue;  // 1 = has ended
extern std::atomic<int> RefreshUIThreadStatue;

// Every handle and flag above back to 0, as before start-up.
void ResetAppState();
