// The port, the communication thread and the password timers for one command
// run without a display (dump, verify, restore, watch), torn down when the
// object goes.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "engine/line_wiring.h"

class Replay;

// The port settings of a command, with the port panel's defaults.
struct CommandPortOptions {
    std::string device;
    long baud = 19200;
    int parity = 1;  // 0 none, 1 odd, 2 even
    int dataBits = 8;
    int stopBits = 1;
    bool fastLine = false;  // line-rate polling
    // A capture played back in place of a device (started already): the
    // device, the line settings and the framing are the capture's.
    Replay* replay = nullptr;
};

// Why the writes still waiting when a command ends were not sent.
constexpr const char* kCommandEnded = "the command ended";

// What the command polls once the password is accepted: the six parameter
// pages (read when asked for), the status block over and over, or both as
// the window does (the pages once at the start and when asked for).
enum class CommandReads { Pages, Status, Both };

class CommandPort {
public:
    CommandPort(const CommandPortOptions& options, CommandReads reads);
    ~CommandPort();
    CommandPort(const CommandPort&) = delete;
    CommandPort& operator=(const CommandPort&) = delete;

    // The port opened and the communication thread runs.
    bool open() const;
    // "cannot open DEVICE", with the reason a network device gave.
    std::string openFailure() const;

private:
    // What the main panel's two timers do in the window: a password write due
    // every 10 s, made as soon as the line is idle.
    void runPasswordTimers();

    std::string device_;
    LineWiring wiring_;  // before the port opens, after it closes
    std::atomic<bool> stop_{false};
    std::thread timers_;
};
