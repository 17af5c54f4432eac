// The line pair on a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "tests/support/test_support.h"

namespace testsupport {

struct PtyPair::Far {
    int master = -1;
    int keepSlave = -1;  // keeps the slave side open so the master never reads EIO
};

PtyPair::PtyPair() : far_(std::make_unique<Far>())
{
    char name[128] = {};
    if (openpty(&far_->master, &far_->keepSlave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
    termios t{};
    tcgetattr(far_->keepSlave, &t);
    cfmakeraw(&t);
    tcsetattr(far_->keepSlave, TCSANOW, &t);
    fcntl(far_->master, F_SETFL, fcntl(far_->master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair()
{
    if (far_->keepSlave >= 0) ::close(far_->keepSlave);
    if (far_->master >= 0) ::close(far_->master);
}

void PtyPair::hangUp()
{
    if (far_->master >= 0) ::close(far_->master);
    far_->master = -1;
}

void PtyPair::write(const std::vector<unsigned char>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(far_->master, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<unsigned char> PtyPair::read(std::chrono::milliseconds timeout, std::chrono::milliseconds quiet)
{
    std::vector<unsigned char> out;
    auto wait = timeout;
    for (;;) {
        pollfd p{far_->master, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(wait.count()));
        if (r <= 0 || !(p.revents & POLLIN)) break;
        unsigned char buf[512];
        ssize_t n = ::read(far_->master, buf, sizeof buf);
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
        wait = quiet;
    }
    return out;
}

}  // namespace testsupport
