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

// Arranges, on the running UI loop, for every panel and tab page to be
// rendered to PNG files in options.screenshotDir and the console to quit,
// with exit code 1 when a picture could not be rendered.
// With a delay the port is first opened with the port panel's settings and the
// pictures wait that many seconds of live polling, so they show live values.
void ScheduleScreenshots(const ConsoleOptions& options);
