// The version of the console, as set in the top-level CMakeLists.txt.
#pragma once

// "major.minor.patch", e.g. "1.0.0".
const char* ConsoleVersion();

// Appends " <version>" to the window title of a loaded panel, once. UI thread
// only; does nothing for a bad handle or without the Qt backend.
void ShowVersionInTitle(int panel);
