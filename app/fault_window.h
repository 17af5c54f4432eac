// The fault history window (PANEL_FAULTS) and what keeps it: a fault
// tracker fed from the line events on a timer of the UI thread, the journal
// faults.csv in the state folder, and the tooltips of the main panel's
// "Error list" rows (when each fault last came on, for how long, and how often
// since the port opened).
//
// The window is created hidden at start-up and keeps its history while hidden;
// the menu entry FAULTS shows and hides it. The communication thread never
// waits for it: it reads the line's events at its own pace. UI thread only.
#pragma once

#include <cstddef>
#include <string>

#include "report/run_log.h"

class QWidget;

// Creates the window, hidden, and starts the history. Does nothing when it exists.
void CreateFaultWindow();
// Ends the history (what is queued for the journal is written) and deletes the window.
void DestroyFaultWindow();
// Menu callback of MENU_FAULTS: shows or hides the window.
void faults(int menuBar, int menuItem, void* callbackData, int panel);
// Takes what the line reported now rather than at the next tick.
void PumpFaultHistory();
// Takes what the line reported so far and forgets it with every event shown
// and the faults' state, as the window was made (the journal is left alone).
void ForgetFaultHistory();
// Takes what the line reported and waits until faults.csv has been tried with it.
void DrainFaultHistory();
// Renders the window to a PNG file, shown or not.
bool SaveFaultsPng(const std::string& path);
// The fault events and the ended writes since the window was created, what
// the line reported up to now included.
RunLog::Copy RunOfThisConsole();
// Line reports not yet taken into the history (0 without the window).
std::size_t FaultHistoryBacklog();
// The window, nullptr when there is none.
QWidget* FaultWidget();
