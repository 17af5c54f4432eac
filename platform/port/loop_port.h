// A serial line inside this process. Its name opens on a COM port like a
// device path, and the object that made it serves the far end: the simulated
// controller where the system has no pseudo-terminals, and tests.
//
// The near end (what OpenComConfig opens) behaves as a serial device whose
// bytes arrive at once: writes never wait, reads wait for the far end's
// bytes. Destroying the LoopPort is an unplug: the open near end reports the
// device lost, and its name opens nothing any more.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/port/driver.h"

class LoopPort {
public:
    // Registers the line under `stem` followed by a number unique in this
    // process, e.g. "simulator#1".
    explicit LoopPort(const std::string& stem);
    ~LoopPort();
    LoopPort(const LoopPort&) = delete;
    LoopPort& operator=(const LoopPort&) = delete;

    const std::string& name() const { return name_; }

    // Far end. Takes what the near end has written, waiting up to `timeout`
    // for the first byte; empty when nothing came or interrupt() was called.
    std::vector<std::uint8_t> receive(std::chrono::microseconds timeout);
    // Puts bytes into the near end's input queue. False while no near end is open.
    bool send(const std::uint8_t* bytes, std::size_t count);
    // Makes a waiting receive() return at once (and the next one too).
    void interrupt();
    // True while the near end is open.
    bool nearOpen() const;

    struct Line;

private:
    std::string name_;
    std::shared_ptr<Line> line_;
};

// The driver of the loop ports: it claims a path exactly while a LoopPort of
// that name lives, and opens its near end with the settings a real port
// would take (refusing the others as CheckSerialSettings does). One opener
// at a time.
SerialDriver& LoopPortDriver();
