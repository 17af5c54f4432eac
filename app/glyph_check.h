// The characters the console's windows show that no installed font can draw:
// each would appear as an empty box (the font's missing-glyph sign) or not at
// all. The picture mode lists them beside the pictures, so that a system
// without a font for the chosen language is seen at once.
#pragma once

#include <string>
#include <vector>

// One line per character and the first widget showing it:
// "U+4E2D 中 PANEL_MAIN/TEXTMSG_2". Every open top-level window and its
// widgets' texts (labels, buttons, group titles, tabs, list and table items)
// are looked at, hidden ones included. UI thread only.
std::vector<std::string> MissingGlyphs();
