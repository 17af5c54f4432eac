// The operator's port choices kept between runs, in the console's settings
// file: the device each COM number is bound to, and whether the console
// reconnects by itself when the device goes away.
#pragma once

#include <string>
#include <vector>

// Applies the stored bindings (SetComBinding) and the stored reconnect choice
// (SetReconnectEnabled). A missing or unreadable file leaves the defaults. A
// binding to a malformed network device is not applied: the sentences
// returned name each one.
std::vector<std::string> LoadPortChoices();
// Store one binding (an empty path removes it) or the reconnect choice. False,
// with the reason in *error, when the settings file could not be written; the
// choice still holds for this run. A binding to a network device also puts
// it first among the recent ones.
bool SaveComBinding(int port, const std::string& devicePath, std::string* error);
bool SaveReconnectChoice(bool on, std::string* error);

// The network devices bound most recently, newest first, at most
// kRecentNetworkDevices, each once; malformed entries in the file are left out.
constexpr int kRecentNetworkDevices = 10;
std::vector<std::string> RecentNetworkDevices();

// The COM numbers bound to a network device, by --com or the settings, in
// order: for --list-ports and the About box.
struct BoundNetworkDevice {
    int port = 0;
    std::string path;  // "rfc2217://bench-pi:2000"
};
std::vector<BoundNetworkDevice> BoundNetworkDevices();
