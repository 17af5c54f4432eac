// The console's command-line options (the window's; the commands for scripts
// are in app/command_line.h).
#pragma once

#include <string>
#include <vector>

struct ConsoleOptions {
    bool simulate = false;         // bind COM4 to the built-in simulated controller
    std::string screenshotDir;     // render every panel and page to PNG and exit
    double screenshotDelay = 0.0;  // seconds of live running before the pictures
    bool showHelp = false;
    bool showVersion = false;  // print the version and exit
    bool listPorts = false;    // print the serial devices present and exit
    bool reconnect = false;    // reconnect automatically for this run
    bool showMonitor = false;  // open the monitor window at start
    std::string recordFile;    // record the status values to this CSV file for the whole run
    std::string captureFile;   // capture the line to this pcapng file for the whole run
    bool fastLine = false;     // line-rate polling on for this run
    std::string language;      // shipped, en or zh_CN for this run; empty: the kept choice
    std::string replayFile;    // play this capture back in place of a port
    double replaySpeed = 1;    // 1, 2, 5, 10; 0 as fast as the window takes it
    bool badDevice = false;    // set on failure: a --com device that can never be opened
};

// Parses the arguments after the program name. `--com N=DEVICE` is applied at
// once (platform/port/serial.h). Returns false and fills *error on a bad argument;
// *options then only tells, by badDevice, whether the fault is a malformed
// network device (main exits with 3 on that, as the commands do, else 2).
bool ParseConsoleOptions(const std::vector<std::string>& args, ConsoleOptions* options, std::string* error);
// The window's part of --help, in the language in use.
std::string ConsoleUsage();
