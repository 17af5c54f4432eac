// The line pair on an in-process loop port.
#include "platform/port/loop_port.h"
#include "tests/support/test_support.h"

namespace testsupport {

struct PtyPair::Far {
    std::unique_ptr<LoopPort> port = std::make_unique<LoopPort>("line");
};

PtyPair::PtyPair() : far_(std::make_unique<Far>())
{
    slavePath_ = far_->port->name();
}

PtyPair::~PtyPair() = default;

void PtyPair::hangUp()
{
    far_->port.reset();
}

void PtyPair::write(const std::vector<unsigned char>& bytes)
{
    if (far_->port) far_->port->send(bytes.data(), bytes.size());
}

std::vector<unsigned char> PtyPair::read(std::chrono::milliseconds timeout, std::chrono::milliseconds quiet)
{
    std::vector<unsigned char> out;
    if (!far_->port) return out;
    auto wait = timeout;
    for (;;) {
        const std::vector<std::uint8_t> bytes = far_->port->receive(wait);
        if (bytes.empty()) break;
        out.insert(out.end(), bytes.begin(), bytes.end());
        wait = quiet;
    }
    return out;
}

}  // namespace testsupport
