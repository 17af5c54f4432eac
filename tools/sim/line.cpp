// The simulator's parts that run anywhere: the loop-port line and the
// replies built by its own code.
#include "tools/sim/line.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/port/loop_port.h"

namespace sim {

std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t count)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

namespace {

// How long the loop line waits for more bytes before it takes what it holds
// as damaged: far longer than the gap inside any frame written in one piece.
constexpr auto kFrameGap = std::chrono::milliseconds(50);
constexpr int kBroadcast = 0;

void appendCrc(std::vector<std::uint8_t>* frame)
{
    const std::uint16_t crc = Crc16(frame->data(), frame->size());
    frame->push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame->push_back(static_cast<std::uint8_t>(crc >> 8));
}

class LoopLink final : public Link {
public:
    LoopLink() : port_("simulator") {}

    const std::string& path() const override { return port_.name(); }

    // Requests arrive whole (a master writes a frame in one piece), so a
    // frame is cut at the first good CRC: 8 bytes for every request the
    // controller knows, or all that came for any other.
    int receive(std::uint8_t* frame) override
    {
        if (woken_) return -1;
        const std::vector<std::uint8_t> bytes = port_.receive(kFrameGap);
        if (woken_) return -1;
        if (bytes.empty()) {
            pending_.clear();  // a silence after a broken frame: start afresh
            return 0;
        }
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        std::size_t length = 0;
        if (pending_.size() >= 8 && Crc16(pending_.data(), 8) == 0) {
            length = 8;
        } else if (pending_.size() >= 4 && pending_.size() <= kMaxFrame &&
                   Crc16(pending_.data(), pending_.size()) == 0) {
            length = pending_.size();
        } else {
            if (pending_.size() > kMaxFrame) pending_.clear();
            return 0;
        }
        const int slave = pending_[0];
        std::copy(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length), frame);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
        if (slave != kSlaveAddress && slave != kBroadcast) return 0;  // another slave's
        return static_cast<int>(length);
    }

    bool send(const std::uint8_t* bytes, std::size_t count) override
    {
        return !woken_ && port_.send(bytes, count);
    }

    void wake() override
    {
        woken_ = true;
        port_.interrupt();
    }

private:
    LoopPort port_;
    std::vector<std::uint8_t> pending_;  // serving thread only
    std::atomic<bool> woken_{false};
};

class OwnRenderer final : public Renderer {
public:
    std::vector<std::uint8_t> reply(const std::uint8_t* request, int length, int exceptionCode,
                                    std::uint16_t* registers) override
    {
        if (length < 4) return {};
        const std::uint8_t slave = request[0];
        const std::uint8_t function = request[1];
        const int address = length >= 6 ? request[2] << 8 | request[3] : 0;
        const int valueOrCount = length >= 6 ? request[4] << 8 | request[5] : 0;
        int code = exceptionCode;
        if (code == 0 && function == kReadHolding &&
            (address < kMapFirst || address + valueOrCount > kMapFirst + kMapCount)) {
            code = kIllegalAddress;
        }
        if (code == 0 && function == kWriteSingle &&
            (address < kMapFirst || address >= kMapFirst + kMapCount)) {
            code = kIllegalAddress;
        }
        if (code == 0 && function != kReadHolding && function != kWriteSingle) code = kIllegalFunction;

        std::vector<std::uint8_t> out{slave};
        if (code != 0) {
            out.push_back(static_cast<std::uint8_t>(function | 0x80));
            out.push_back(static_cast<std::uint8_t>(code));
        } else if (function == kReadHolding) {
            out.push_back(function);
            out.push_back(static_cast<std::uint8_t>(2 * valueOrCount));
            for (int a = address; a < address + valueOrCount; ++a) {
                const std::uint16_t v = registers[a - kMapFirst];
                out.push_back(static_cast<std::uint8_t>(v >> 8));
                out.push_back(static_cast<std::uint8_t>(v & 0xFF));
            }
        } else {
            registers[address - kMapFirst] = static_cast<std::uint16_t>(valueOrCount);
            out.assign(request, request + 6);  // the echo
        }
        if (slave == kBroadcast) return {};  // done, but never answered
        appendCrc(&out);
        return out;
    }
};

}  // namespace

std::unique_ptr<Link> OpenLoopLink(std::string* /*error*/)
{
    return std::make_unique<LoopLink>();
}

std::unique_ptr<Renderer> MakeOwnRenderer()
{
    return std::make_unique<OwnRenderer>();
}

}  // namespace sim
