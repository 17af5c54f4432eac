// Where the console keeps its files.
#pragma once

#include <string>

// $XDG_STATE_HOME/drive-console, or ~/.local/state/drive-console when that
// variable is unset or empty: journals, backups and other state. Not created.
std::string StateFolder();
// $XDG_CONFIG_HOME/drive-console, or ~/.config/drive-console: settings.
std::string ConfigFolder();
// Creates `folder` and its missing parents. False, with *error set, when it
// cannot be created.
bool MakeFolder(const std::string& folder, std::string* error);
