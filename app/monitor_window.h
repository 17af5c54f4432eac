// The line monitor window (PANEL_MONITOR): link health, the traffic on the
// line, live plots of the status values and their recording to CSV, and the
// capture of the line (engine/line_capture.h) to a pcapng file.
//
// It watches the line through the line events (modbus/line_events.h) on a
// timer of the UI thread, so it never holds up the communication thread. It
// is created hidden at start-up and keeps its history while hidden; the menu
// entry MONITOR shows and hides it. UI thread only.
#pragma once

#include <string>

class LineCapture;
class QWidget;

// Creates the window, hidden, with the console's capture of the line, which
// must outlive it (nullptr: none, its buttons off). Does nothing when it exists.
void CreateMonitor(LineCapture* capture = nullptr);
// Stops a running recording (writing what is pending) and deletes the
// window; a capture goes on.
void DestroyMonitor();
// Menu callback of MENU_MONITOR: shows or hides the window.
void monitor(int menuBar, int menuItem, void* callbackData, int panel);
// Takes what the line reported so far and forgets it: the link counters and
// response times, the plots' history and the traffic list start again (a
// recording or capture running goes on).
void ForgetMonitorHistory();
// Starts recording the status values to `path` (as the RECORD button does).
bool StartRecording(const std::string& path, std::string* error);
// Starts capturing the line to `path` (as the CAPTURE button does).
bool StartCapture(const std::string& path, std::string* error);
// Renders the window to a PNG file, shown or not.
bool SaveMonitorPng(const std::string& path);
// The window, nullptr before CreateMonitor.
QWidget* MonitorWidget();
