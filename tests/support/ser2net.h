// A real serial device server for tests: Debian's ser2net serving one serial
// device (the simulated controller's pseudo-terminal) on a free loopback
// port, speaking Telnet with the COM port option or passing the bytes as they
// are. (One kind a server: ser2net turns a connection away while another of
// its ports is still letting go of the same device.) Its configuration goes
// to a temporary folder; it is stopped by its process id when the object goes.
#pragma once

#include <string>

namespace testsupport {

class Ser2net {
public:
    enum class Kind { ComPort, Raw };
    // On `port` of the loopback interface, or a free one when 0 (a server
    // that comes back takes the port of the one before).
    Ser2net(const std::string& device, Kind kind, int port = 0);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // True once both ports take connections; else error() says why not.
    bool started() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // "rfc2217://127.0.0.1:PORT" or "tcp://127.0.0.1:PORT".
    const std::string& address() const { return address_; }
    int port() const { return port_; }

private:
    bool start(const std::string& program, const std::string& device, Kind kind);
    void stop();

    std::string dir_;
    std::string address_;
    int port_ = 0;
    int pid_ = -1;
    std::string error_;
};

}  // namespace testsupport
