// Telnet with the COM port control option (option 44), as a client speaks it
// to a serial device server: no sockets here, only bytes in and bytes out.
//
// In the stream, the byte 0xFF (IAC) starts a command; a data byte 0xFF is
// sent doubled. What the reader makes of the stream:
//   IAC IAC                      one data byte 0xFF
//   IAC WILL|WONT|DO|DONT opt    an option event
//   IAC SB opt ... IAC SE        a subnegotiation event; IAC IAC inside is one
//                                0xFF of its payload, which is kept up to
//                                kMaxPayload bytes
//   IAC SE, IAC 241..249         a command event (no-operation, go-ahead, ...)
//   IAC b, b below 240           nothing: both bytes are dropped
//   IAC b inside a subnegotiation, b neither SE nor IAC: the subnegotiation
//                                is abandoned, and IAC b is read as above
// Every other byte is data. A sequence cut across two reads is carried over.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/port/driver.h"

namespace netport {

namespace telnet {
constexpr std::uint8_t kSe = 240;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kIac = 255;

constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kEcho = 1;
constexpr std::uint8_t kSuppressGoAhead = 3;
constexpr std::uint8_t kComPort = 44;
}  // namespace telnet

// Commands of the COM port option from client to server; the server answers
// each with its code plus kServerAnswer.
namespace comport {
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kPurgeData = 12;
constexpr std::uint8_t kServerAnswer = 100;

constexpr std::uint8_t kParityNone = 1;
constexpr std::uint8_t kParityOdd = 2;
constexpr std::uint8_t kParityEven = 3;
constexpr std::uint8_t kNoFlowControl = 1;  // SET-CONTROL value
// PURGE-DATA values: the server's buffer of bytes from the device to the
// client, of bytes from the client to the device, or both.
constexpr std::uint8_t kPurgeReceive = 1;
constexpr std::uint8_t kPurgeTransmit = 2;
constexpr std::uint8_t kPurgeBoth = 3;
}  // namespace comport

// Appends `count` bytes to *out with every 0xFF doubled.
void AppendEscaped(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* out);

struct TelnetEvent {
    enum class Kind { Command, Option, Subnegotiation };
    Kind kind = Kind::Command;
    std::uint8_t verb = 0;    // the command: WILL..DONT for an option, SB, or 240..249
    std::uint8_t option = 0;  // for Option and Subnegotiation
    std::vector<std::uint8_t> payload;
    bool truncated = false;  // the payload was longer than kMaxPayload
    bool operator==(const TelnetEvent& o) const
    {
        return kind == o.kind && verb == o.verb && option == o.option && payload == o.payload &&
               truncated == o.truncated;
    }
};

// Splits the stream from the server into data bytes and events (see above).
class TelnetReader {
public:
    static constexpr std::size_t kMaxPayload = 64;
    // Reads `count` bytes: data bytes are appended to *data, events to *events.
    void feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* data,
              std::vector<TelnetEvent>* events);

private:
    enum class State { Data, Command, Option, SubOption, SubData, SubIac };
    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    TelnetEvent sub_;
};

// The client's side of one connection to a COM port server: the option
// negotiation (the COM port option, binary both ways so that 8-bit data
// passes, go-ahead suppressed; every other option refused), the line settings
// sent once the server takes the COM port option, and its answers checked
// against what was asked. A server that refuses the option, or holds a
// setting other than the one asked for, fails the session with a reason. The
// flow control is set to none, and its answer never waited for.
class ComPortClient {
public:
    enum class Stage {
        Negotiating,  // waiting for the server to take the COM port option
        Configuring,  // settings sent, answers outstanding
        Ready,        // every setting answered as asked
        Failed,       // see failure()
    };

    // Bytes the client sends before it answers anything pile up to this many;
    // past it, answers to a server that does not read are dropped.
    static constexpr std::size_t kMaxOutgoing = 4096;

    // Queues the opening negotiation. `settings` are the line's: baud rate,
    // parity 0 none, 1 odd, 2 even, 7 or 8 data bits, 1 or 2 stop bits.
    explicit ComPortClient(const SerialSettings& settings);

    // Reads bytes from the server: data bytes are appended to *data; answers
    // and settings are queued to go out.
    void receive(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>* data);
    // Moves what is queued to go out onto the end of *out.
    void takeOutgoing(std::vector<std::uint8_t>* out);
    bool hasOutgoing() const { return !outgoing_.empty(); }
    // Queues a PURGE-DATA command (comport::kPurgeReceive, ...).
    void purge(std::uint8_t which);

    Stage stage() const { return stage_; }
    // Why the session failed; empty unless stage() is Failed.
    const std::string& failure() const { return failure_; }
    // Whether the server sends, and takes, binary data (8 bits, no line-end
    // translation).
    bool binaryFromServer() const { return him_[telnet::kBinary] == Option::Yes; }
    bool binaryToServer() const { return us_[telnet::kBinary] == Option::Yes; }

private:
    enum class Option : std::uint8_t { No, Yes, WantYes };
    struct Setting {
        std::uint8_t command = 0;
        std::uint32_t asked = 0;
        bool answered = false;
    };

    void onOption(std::uint8_t verb, std::uint8_t option);
    void onSubnegotiation(const TelnetEvent& event);
    void sendOption(std::uint8_t verb, std::uint8_t option);
    void sendSubnegotiation(std::uint8_t command, const std::uint8_t* value, std::size_t count);
    void sendSettings();
    void fail(const std::string& why);

    std::array<Option, 256> us_{};   // options this side performs
    std::array<Option, 256> him_{};  // options the server performs
    std::array<Setting, 4> settings_{};
    TelnetReader reader_;
    std::vector<TelnetEvent> events_;
    std::vector<std::uint8_t> outgoing_;
    Stage stage_ = Stage::Negotiating;
    std::string failure_;
};

// How a setting reads to a technician: "19200 bit/s", "parity odd",
// "2 stop bits"; `command` is a SET-... code, `value` as it goes on the wire.
std::string DescribeComSetting(std::uint8_t command, std::uint32_t value);

}  // namespace netport
