// Text output of the console program. On Windows the program has a window of
// its own and no console: its commands, --help and messages write to the
// console of the command prompt it was started from (output sent to a file or
// a pipe goes there as it is), in UTF-8. Elsewhere there is nothing to do.
#pragma once

#include <string>
#include <vector>

void UseStartingConsole();

// The program's arguments after its name, in UTF-8 (on Windows from the wide
// command line, so that any file name survives).
std::vector<std::string> ProgramArguments(int argc, char** argv);
