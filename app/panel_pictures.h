// The panels and windows of the console as pictures.
#pragma once

#include <string>

// Renders every panel, tab page and window (the monitor, the fault history)
// as they show now to PNG files in `dir`, which must exist; a window that was
// hidden stays hidden. False when one could not be rendered (named on
// standard error). UI thread only.
bool SavePanelPictures(const std::string& dir);
