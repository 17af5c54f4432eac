// Program entry, start-up and shutdown, the menu toggles and the refresh thread.
#pragma once

#include "app/options.h"

// Start-up, the UI loop and shutdown, on the state the start-up reset leaves
// (engine/console_state.h). Returns -1 when start-up fails, 0 after a normal
// quit, or the exit code QuitConsoleWith was given.
int WinMain(int& argc, char** argv, const ConsoleOptions& options);

void InitThread();
int RefreshUIThread(void* parameter);
int QuitCallback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// What __QUIT does, ending WinMain with `exitCode`: asks to stop a motor test
// first (false when the operator chose to stay).
bool QuitConsoleWith(int exitCode);
void comConfigure(int menuBar, int menuItem, void* callbackData, int panel);
void parameterSet(int menuBar, int menuItem, void* callbackData, int panel);
void debug(int menuBar, int menuItem, void* callbackData, int panel);

// Loads the four panels into the handle globals. Returns false when the main
// panel cannot be loaded. (Start-up steps 2 to 5; also used by tests.)
bool LoadConsolePanels();
// Waits for the started worker threads to end, closes the port if open and
// discards the panels. (Shutdown steps 1 to 3; also used by tests.)
void ShutdownConsole();
