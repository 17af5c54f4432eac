// The console's commands for scripts: dump, verify and restore a controller's
// parameter set, and watch its fault bits, without a display. They run the same core as the window (the
// tables, the communication thread, the receive step, the password exchange)
// with a headless user-interface backend.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_status.h"  // the exit statuses

// True when `word` names a command ("dump", "verify", "restore", "watch",
// "serve", "report").
bool IsCommandName(const std::string& word);

// Runs a command: args[0] is its name, the rest its arguments. Results go to
// `out`, messages to `err`. Returns an exit status above. Every command takes
// --lang shipped|en|zh_CN, the language of its messages (app/command_language.h).
int RunCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// The commands' part of --help, in the language in use (app/command_usage.cpp).
std::string CommandUsage();
