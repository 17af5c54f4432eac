// What the console does besides its panels: the command line, the built-in
// simulated controller and the offscreen pictures.
#pragma once

#include <string>

#include "app/options.h"

// Starts the simulated controller and binds COM4 to it. False on failure.
bool StartBuiltInSimulator(std::string* error);
void StopBuiltInSimulator();
// Arranges, on the running UI loop, for the port panel to open COM4 as if the
// operator had selected it and pressed "Configure".
void OpenSimulatedPort();

// Renders every panel, tab page and window (the monitor, the fault history)
// as they show now to PNG files in `dir`, which must exist; a window that was
// hidden stays hidden. False when one could not be rendered (named on
// standard error). UI thread only.
bool SavePanelPictures(const std::string& dir);

// Arranges, on the running UI loop, for every panel and tab page to be
// rendered to PNG files in options.screenshotDir and the console to quit,
// with exit code 1 when a picture could not be rendered.
// With a delay the port is first opened with the port panel's settings and the
// pictures wait that many seconds of live polling, so they show live values.
void ScheduleScreenshots(const ConsoleOptions& options);
