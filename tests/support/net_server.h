// A serial device server played by the test, on the loopback interface: it
// listens on a free port and serves one connection at a time on its own
// thread, passing the bytes as they are (tcp://) or speaking Telnet with the
// COM port option (rfc2217://) as the test scripts it: what it answers to the
// option and to each setting, the data it sends, and how it goes away.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/port/telnet_codec.h"

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// "FF FA 2C" to bytes, and back.
Bytes SpacedHex(const std::string& spaced);
std::string SpacedHexOf(const Bytes& bytes);

class NetServer {
public:
    enum class Kind { Raw, ComPort };
    struct Script {
        Kind kind = Kind::ComPort;
        bool answerOption = true;      // DO COM-PORT-OPTION to the client's WILL
        bool refuseOption = false;     // DONT COM-PORT-OPTION instead
        bool answerSettings = true;    // answer each SET-... with what was asked
        std::map<int, Bytes> holding;  // a setting (SET-... code) answered with this value instead
        bool acceptNothing = false;    // listen, but let no connection through
    };

    explicit NetServer(const Script& script);
    ~NetServer();
    NetServer(const NetServer&) = delete;
    NetServer& operator=(const NetServer&) = delete;

    int port() const { return port_; }
    // "rfc2217://127.0.0.1:PORT" or "tcp://127.0.0.1:PORT".
    std::string address() const;

    // What came from the client: data bytes (for ComPort with 0xFF undone),
    // every byte as it came, and the COM port commands (payloads of
    // subnegotiations of option 44, code first).
    Bytes data() const;
    Bytes raw() const;
    std::vector<Bytes> commands() const;
    // The number of connections accepted so far.
    int connections() const { return connections_.load(); }

    // Sends data bytes to the client (for ComPort with 0xFF doubled), or bytes
    // exactly as given.
    void send(const Bytes& data);
    void sendRaw(const Bytes& bytes);
    // Ends the connection: an orderly close once what was sent has gone, or
    // a reset.
    void close();
    void reset();

    // A port on the loopback interface that nothing listens on.
    static int FreePort();

private:
    void serve();
    void handle(const std::uint8_t* bytes, std::size_t count, Bytes* answer);

    Script script_;
    std::intptr_t listener_ = -1;
    std::intptr_t filler_ = -1;  // the connection that fills the queue of one that accepts nothing
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};

    mutable std::mutex mutex_;
    Bytes data_;
    Bytes raw_;
    std::vector<Bytes> commands_;
    Bytes toSend_;
    bool closeWanted_ = false;
    bool resetWanted_ = false;
    netport::TelnetReader reader_;  // the client's Telnet stream
};

}  // namespace testsupport
