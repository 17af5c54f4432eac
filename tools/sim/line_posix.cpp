// The simulator on a pseudo-terminal, with libmodbus framing its requests and
// rendering its replies.
#include <fcntl.h>
#include <modbus.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "tools/sim/line.h"

namespace sim {

namespace {

constexpr int kNoClientPauseMs = 50;  // wait between looks while nobody holds the slave side

void closeFd(int* fd)
{
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
}

class PtyLink final : public Link {
public:
    ~PtyLink() override
    {
        if (ctx_ != nullptr) {
            modbus_set_socket(ctx_, -1);  // the descriptor is ours to close
            modbus_free(ctx_);
        }
        for (int* fd : {&master_, &wakeRead_, &wakeWrite_}) closeFd(fd);
    }

    bool open(std::string* error)
    {
        auto fail = [error](const char* what) {
            *error = std::string(what) + ": " + std::strerror(errno);
            return false;
        };
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0) return fail("posix_openpt");
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) return fail("unlockpt");
        char name[128] = {};
        if (ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
        path_ = name;

        // Raw mode on the slave side; it holds while the master stays open, so a
        // client finds a clean line even before it configures the port itself.
        const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave < 0) return fail("open slave");
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            t.c_cflag |= CLOCAL | CREAD;
            cfsetispeed(&t, B19200);
            cfsetospeed(&t, B19200);
            tcsetattr(slave, TCSANOW, &t);
        }
        ::close(slave);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

        int wake[2];
        if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
        wakeRead_ = wake[0];
        wakeWrite_ = wake[1];

        // The context only frames requests: it never opens or configures a
        // device of its own, it works on the master descriptor handed to it.
        ctx_ = modbus_new_rtu(name, 19200, 'N', 8, 1);
        if (ctx_ == nullptr) return fail("modbus_new_rtu");
        modbus_set_slave(ctx_, kSlaveAddress);
        modbus_set_socket(ctx_, master_);
        modbus_set_indication_timeout(ctx_, 1, 0);
        return true;
    }

    const std::string& path() const override { return path_; }

    int receive(std::uint8_t* frame) override
    {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno != EINTR && !pause(kNoClientPauseMs)) return -1;
            return 0;
        }
        if (fds[1].revents != 0) return -1;
        if (fds[0].revents & POLLIN) {
            const int n = modbus_receive(ctx_, frame);
            if (n > 0) return n;
            if (n < 0 && errno == EIO)
                return pause(kNoClientPauseMs) ? 0 : -1;  // nobody holds the slave side
            if (n < 0) {
                // A damaged or cut-off request: drop what is left of it so the
                // next request starts on a frame boundary.
                std::uint8_t junk[256];
                ssize_t n = 0;
                while ((n = ::read(master_, junk, sizeof junk)) > 0)
                    discarded_ += static_cast<std::uint64_t>(n);
            }
            return 0;
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) return pause(kNoClientPauseMs) ? 0 : -1;
        return (fds[0].revents & POLLNVAL) ? -1 : 0;
    }

    bool send(const std::uint8_t* bytes, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(master_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                if (!pause(1)) return false;
            } else if (!(n < 0 && errno == EINTR)) {
                return false;  // the client went away: the reply is lost, as on a real line
            }
        }
        return true;
    }

    std::uint64_t takeDiscarded() override
    {
        const std::uint64_t n = discarded_;
        discarded_ = 0;
        return n;
    }

    void wake() override
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
    }

private:
    // Sleeps up to `ms`; false at once when woken.
    bool pause(int ms)
    {
        pollfd p{wakeRead_, POLLIN, 0};
        int r;
        do {
            r = ::poll(&p, 1, ms);
        } while (r < 0 && errno == EINTR);
        return r == 0;
    }

    modbus_t* ctx_ = nullptr;
    int master_ = -1;
    int wakeRead_ = -1, wakeWrite_ = -1;  // wake() writes a byte here
    std::uint64_t discarded_ = 0;         // the receiving thread's own
    std::string path_;
};

class LibmodbusRenderer final : public Renderer {
public:
    ~LibmodbusRenderer() override
    {
        if (ctx_ != nullptr) {
            modbus_set_socket(ctx_, -1);
            modbus_free(ctx_);
        }
        closeFd(&captureRead_);
        closeFd(&captureWrite_);
    }

    bool open(std::string* error)
    {
        int capture[2];
        if (pipe2(capture, O_CLOEXEC | O_NONBLOCK) != 0) {
            *error = std::string("pipe: ") + std::strerror(errno);
            return false;
        }
        captureRead_ = capture[0];
        captureWrite_ = capture[1];
        ctx_ = modbus_new_rtu("/dev/null", 19200, 'N', 8, 1);
        if (ctx_ == nullptr) {
            *error = "modbus_new_rtu failed";
            return false;
        }
        modbus_set_slave(ctx_, kSlaveAddress);
        modbus_set_socket(ctx_, captureWrite_);
        return true;
    }

    // libmodbus writes the reply into a pipe, so that it can be delayed, split
    // or damaged before it goes on the line.
    std::vector<std::uint8_t> reply(const std::uint8_t* request, int length, int exceptionCode,
                                    std::uint16_t* registers) override
    {
        modbus_mapping_t map{};
        map.start_registers = kMapFirst;
        map.nb_registers = kMapCount;
        map.tab_registers = registers;
        if (exceptionCode > 0) {
            modbus_reply_exception(ctx_, request, static_cast<unsigned>(exceptionCode));
        } else {
            modbus_reply(ctx_, request, length, &map);
        }
        std::vector<std::uint8_t> out;
        std::uint8_t buf[kMaxFrame];
        ssize_t n;
        while ((n = ::read(captureRead_, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n);
        return out;
    }

private:
    modbus_t* ctx_ = nullptr;
    int captureRead_ = -1, captureWrite_ = -1;
};

}  // namespace

std::unique_ptr<Link> OpenPtyLink(std::string* error)
{
    auto link = std::make_unique<PtyLink>();
    if (!link->open(error)) return nullptr;
    return link;
}

std::unique_ptr<Renderer> MakeLibmodbusRenderer(std::string* error)
{
    auto renderer = std::make_unique<LibmodbusRenderer>();
    if (!renderer->open(error)) return nullptr;
    return renderer;
}

}  // namespace sim
