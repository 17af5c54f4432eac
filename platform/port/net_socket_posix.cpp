// BSD sockets.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "platform/port/net_socket.h"

namespace netport {
namespace netsys {

namespace {

// The system's text for an error, without a capital: "connection refused".
std::string ErrorText(int err)
{
    std::string text = std::strerror(err);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

}  // namespace

bool StartSockets(std::string* /*error*/)
{
    return true;
}

std::string ResolveErrorText(int code)
{
    return code == EAI_SYSTEM ? ErrorText(errno) : ::gai_strerror(code);
}

Socket Connect(const Endpoint& endpoint, int waitMs, std::string* error, bool* timedOut)
{
    *timedOut = false;
    const int fd = ::socket(endpoint.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        *error = ErrorText(errno);
        return kNoSocket;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const auto* address = reinterpret_cast<const sockaddr*>(endpoint.address.data());
    int rc = ::connect(fd, address, static_cast<socklen_t>(endpoint.address.size()));
    int err = rc == 0 ? 0 : errno;
    if (rc != 0 && err == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        do {
            rc = ::poll(&p, 1, waitMs);
        } while (rc < 0 && errno == EINTR);
        if (rc == 0) {
            ::close(fd);
            *timedOut = true;
            *error = "no answer";
            return kNoSocket;
        }
        socklen_t length = sizeof err;
        if (rc < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) != 0) err = errno;
    }
    if (err != 0) {
        ::close(fd);
        *error = ErrorText(err);
        return kNoSocket;
    }
    return fd;
}

int Send(Socket socket, const std::uint8_t* bytes, std::size_t count, std::string* error)
{
    for (;;) {
        const ssize_t n = ::send(static_cast<int>(socket), bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return static_cast<int>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        *error = ErrorText(errno);
        return -1;
    }
}

int Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity, std::string* error)
{
    for (;;) {
        const ssize_t n = ::recv(static_cast<int>(socket), buffer, capacity, MSG_DONTWAIT);
        if (n > 0) return static_cast<int>(n);
        if (n == 0) {
            *error = "the server closed the connection";
            return -1;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        *error = ErrorText(errno);
        return -1;
    }
}

int Wait(Socket socket, bool forWrite, long long waitUs)
{
    if (waitUs < 0) waitUs = 0;
    const timespec wait{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
    pollfd p{static_cast<int>(socket), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    int rc = 0;
    do {
        rc = ::ppoll(&p, 1, &wait, nullptr);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0 || (p.revents & POLLNVAL) != 0) return -1;
    return rc > 0 ? 1 : 0;
}

void Close(Socket socket)
{
    if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

}  // namespace netsys
}  // namespace netport
