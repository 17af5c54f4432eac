// Network devices: a controller reached through a serial device server.
//
//   tcp://HOST:PORT      the line's bytes as they are, over one TCP connection
//   rfc2217://HOST:PORT  Telnet with the COM port control option: the line
//                        settings are sent to the server and its answers checked
//
// HOST is a name, an IPv4 address or an IPv6 address in brackets
// ("[fe80::1]"); PORT is 1..65535. The kinds are written in small letters.
// These functions touch no network: a command line can refuse a malformed
// device before anything is opened.
#pragma once

#include <string>

namespace netport {

enum class NetKind { RawTcp, ComPortControl };

struct NetAddress {
    NetKind kind = NetKind::RawTcp;
    std::string host;  // as written, without the brackets of an IPv6 address
    bool ipv6 = false;
    bool literal = false;  // an IPv4 or IPv6 address, not a name
    int port = 0;
};

// True when `path` is written as a network device: a scheme such as "tcp" or
// "rfc2217" followed by "://". Such a path is never a serial device; whether it
// is a valid one, ParseNetAddress says.
bool IsNetworkPath(const std::string& path);

// Reads a network device. False with *error set (a sentence naming `text`
// and what is wrong with it) when it is not one of the two forms above.
bool ParseNetAddress(const std::string& text, NetAddress* out, std::string* error);

// Why `path` cannot be opened as a network device: "" when it is not written
// as one (a serial device) or is a valid one, else the sentence of
// ParseNetAddress. What the command line and the settings check first.
std::string NetworkPathProblem(const std::string& path);

// The device as it is written: "tcp://host:502", "rfc2217://[::1]:2000".
std::string FormatNetAddress(const NetAddress& address);

}  // namespace netport
