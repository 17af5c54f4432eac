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

// A box's title and text (GBK) as one line on standard error, where no one
// can be shown: "drive-console: TITLE: TEXT", the text decoded to UTF-8, its
// line breaks made spaces and its trailing blanks dropped.
void WriteBoxToStderr(const char* title, const char* text);
