// The simulator's two halves that depend on where it runs: the line that
// carries requests in and replies out, and the code that renders the replies.
// Used by simulator.cpp only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/sim/slave.h"

namespace sim {

constexpr int kMapFirst = 2548;  // the register map: 2548 .. the password register
constexpr int kMapCount = kPasswordRegister - kMapFirst + 1;
constexpr int kMaxFrame = 256;  // the longest RTU frame

constexpr int kReadHolding = 3;
constexpr int kWriteSingle = 6;
constexpr int kIllegalFunction = 1;
constexpr int kIllegalAddress = 2;
constexpr int kIllegalValue = 3;

// CRC-16 of Modbus RTU (sent low byte first); 0 over a whole frame with its CRC.
std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t count);

class Link {
public:
    virtual ~Link() = default;
    // The path a master opens.
    virtual const std::string& path() const = 0;
    // Waits for the next request addressed to this slave (or broadcast) and
    // copies it, CRC included, into `frame` (kMaxFrame bytes). Returns its
    // length; 0 when none came (call again); -1 once wake() was called.
    virtual int receive(std::uint8_t* frame) = 0;
    // Puts reply bytes on the line; false when they could not go (no master
    // holds the line, or wake() was called).
    virtual bool send(const std::uint8_t* bytes, std::size_t count) = 0;
    // Ends a waiting receive() or send() and every later one.
    virtual void wake() = 0;
    // The bytes receive() took off the line and dropped as no request, since
    // the last call (the thread that calls receive()).
    virtual std::uint64_t takeDiscarded() { return 0; }
};

class Renderer {
public:
    virtual ~Renderer() = default;
    // The reply to a request with `exceptionCode` (0: none) over `registers`
    // (kMapCount of them from kMapFirst), which a write changes. Empty for a
    // broadcast.
    virtual std::vector<std::uint8_t> reply(const std::uint8_t* request, int length, int exceptionCode,
                                            std::uint16_t* registers) = 0;
};

// An in-process loop port (platform/port/loop_port.h).
std::unique_ptr<Link> OpenLoopLink(std::string* error);
// Replies built by the simulator itself.
std::unique_ptr<Renderer> MakeOwnRenderer();

#ifdef DSC_SIM_LIBMODBUS
// A pseudo-terminal, its requests framed by libmodbus.
std::unique_ptr<Link> OpenPtyLink(std::string* error);
// Replies built by libmodbus; nullptr with *error set on failure.
std::unique_ptr<Renderer> MakeLibmodbusRenderer(std::string* error);
#endif

}  // namespace sim
