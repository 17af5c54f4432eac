// The network devices (platform/port/net_address.h) as serial devices: one TCP
// connection each, made out to the server (the console never listens).
//
// Opening resolves the host, connects and, for rfc2217://, negotiates the COM
// port option and sends the line settings, all within one bound (5 s): a name
// that does not resolve, a connection refused or unanswered, a server that
// does not take the option or holds another setting fails the open with a
// reason. A tcp:// device carries the bytes as they are; its line settings
// are the server's.
//
// Open, the device reads and writes the line's bytes (for rfc2217:// with the
// Telnet byte 0xFF doubled on the wire); discarding the input also purges
// the server's buffer of bytes on their way here. A connection that the
// server closes or resets is a device gone (lost()) once the bytes that came
// before are read, as a pulled-out adapter is.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/port/driver.h"

namespace netport {

constexpr std::chrono::milliseconds kOpenBudget{5000};

// Opens the network device `path`. On failure returns nullptr with *error set
// to an RS-232 code (kRs232InvalidParameter for settings no line carries,
// else kRs232OpenFailed) and *reason to a sentence for the technician.
// `budget` bounds the whole open.
std::unique_ptr<SerialDevice> OpenNetworkDevice(const std::string& path, const SerialSettings& settings,
                                                int* error, std::string* reason,
                                                std::chrono::milliseconds budget = kOpenBudget);

// The driver the COM ports open network devices with. It keeps, for each
// device, why its last open failed.
class NetworkDriver final : public SerialDriver {
public:
    std::unique_ptr<SerialDevice> open(const std::string& path, const SerialSettings& settings,
                                       int* error) override;
    // Every tcp:// and rfc2217:// path, well-formed or not (a malformed one
    // fails to open with the reason, never reaches the system's driver).
    bool claims(const std::string& path) const override;
    // A network device has no file to look for: whether its server answers
    // only a connection tells, and each look would make one. So it counts as
    // there, and reconnection tries it.
    bool present(const std::string& path) const override;
    // Why the last open of `path` failed; empty when it succeeded or none was made.
    std::string lastFailure(const std::string& path) const;
    // Forgets every failure.
    void forget();

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> failures_;
};

// The one the COM ports use.
NetworkDriver& NetworkPortDriver();

}  // namespace netport
