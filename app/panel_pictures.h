// The panels and windows of the console as pictures.
#pragma once

#include <string>

// Renders every panel, tab page and window (the monitor, the fault history)
// as they show now to PNG files in `dir`, which must exist; a window that was
// hidden stays hidden. Beside them, missing-glyphs.txt lists the characters
// the windows show that no installed font can draw (app/glyph_check.h), empty
// as a rule. False when a picture or the list could not be written (named on
// standard error). UI thread only.
bool SavePanelPictures(const std::string& dir);
