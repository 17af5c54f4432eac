// Where the console keeps its files: settings under $XDG_CONFIG_HOME, journals
// and state under $XDG_STATE_HOME, each in a folder of its own. On Windows,
// unless those variables are set, both live in the user's local application
// data: %LOCALAPPDATA%/drive-console and %LOCALAPPDATA%/drive-console/state.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/drive-console, or ~/.config/drive-console.
std::string ConsoleConfigDir();
// $XDG_STATE_HOME/drive-console, or ~/.local/state/drive-console.
std::string ConsoleStateDir();
// The settings file (QSettings, INI format) in the config folder.
std::string ConsoleSettingsFile();
// Creates `folder` and its missing parents. False, with *error set, when it
// cannot be created.
bool MakeFolder(const std::string& folder, std::string* error);
