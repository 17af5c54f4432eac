// The Help menu: the parameter reference window and the About box.
#pragma once

#include <string>

// Menu callbacks of MENU1_REFERENCE and MENU1_ABOUT.
void parameterReference(int menuBar, int menuItem, void* callbackData, int panel);
void aboutConsole(int menuBar, int menuItem, void* callbackData, int panel);

// The About text (GBK): version, port and where settings and state are kept.
std::string AboutText();

// Renders the parameter reference window, with `filter` typed into its search
// field, to a PNG file. UI thread only.
bool SaveParameterReferencePng(const std::string& path, const std::string& filter);
