// The main panel's menu entries that show and hide the port, parameter and
// debug panels, and __QUIT.
#pragma once

void comConfigure(int menuBar, int menuItem, void* callbackData, int panel);
void parameterSet(int menuBar, int menuItem, void* callbackData, int panel);
void debug(int menuBar, int menuItem, void* callbackData, int panel);

int QuitCallback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// What __QUIT does, ending the user interface loop (and so WinMain) with
// `exitCode`: asks to stop a motor test first (false when the operator chose
// to stay).
bool QuitConsoleWith(int exitCode);
