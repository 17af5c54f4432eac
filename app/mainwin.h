// Program entry, start-up and shutdown and the refresh thread.
#pragma once

#include "app/options.h"

// Start-up, the UI loop and shutdown, on the state the start-up reset leaves
// (engine/console_state.h). Returns -1 when start-up fails, 0 after a normal
// quit, or the exit code QuitConsoleWith was given.
int WinMain(int& argc, char** argv, const ConsoleOptions& options);

void InitThread();
int RefreshUIThread(void* parameter);

// Registers the callbacks and loads the four panels (main, port, parameter,
// debug) into the handle globals, with the handles of their tab pages.
// Returns false when the main panel cannot be loaded. WinMain calls it once
// the user interface is up; tests call it too.
bool LoadConsolePanels();
// Waits for the communication and refresh threads to end, stops the port
// watch, ends the monitor and the fault window (their files get every reply
// and event first), closes the port if open and discards the panels. WinMain
// calls it after the user interface loop; tests call it too.
void ShutdownConsole();
