// Windows sockets.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>

#include "platform/port/net_socket.h"

namespace netport {
namespace netsys {

namespace {

// Windows sockets are started once for the life of the process.
bool Started(std::string* error)
{
    static int result = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (result != 0) *error = "Windows sockets could not be started (error " + std::to_string(result) + ")";
    return result == 0;
}

// The system's text for an error, without a capital or a full stop.
std::string ErrorText(int err)
{
    char buffer[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(err), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) return "socket error " + std::to_string(err);
    if (text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

SOCKET Handle(Socket socket)
{
    return static_cast<SOCKET>(socket);
}

timeval TimeValue(long long waitUs)
{
    if (waitUs < 0) waitUs = 0;
    timeval t{};
    t.tv_sec = static_cast<long>(waitUs / 1000000);
    t.tv_usec = static_cast<long>(waitUs % 1000000);
    return t;
}

}  // namespace

bool StartSockets(std::string* error)
{
    return Started(error);
}

std::string ResolveErrorText(int code)
{
    return ErrorText(code);
}

Socket Connect(const Endpoint& endpoint, int waitMs, std::string* error, bool* timedOut)
{
    *timedOut = false;
    if (!Started(error)) return kNoSocket;
    const SOCKET s = socket(endpoint.family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        *error = ErrorText(WSAGetLastError());
        return kNoSocket;
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    const auto* address = reinterpret_cast<const sockaddr*>(endpoint.address.data());
    int err = 0;
    if (connect(s, address, static_cast<int>(endpoint.address.size())) != 0) {
        err = WSAGetLastError();
        if (err == WSAEWOULDBLOCK) {
            // A connection made shows as writable; one refused as an exception.
            fd_set writable;
            fd_set failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval wait = TimeValue(static_cast<long long>(waitMs) * 1000);
            const int rc = select(0, nullptr, &writable, &failed, &wait);
            if (rc == 0) {
                closesocket(s);
                *timedOut = true;
                *error = "no answer";
                return kNoSocket;
            }
            err = 0;
            int length = sizeof err;
            if (rc < 0) {
                err = WSAGetLastError();
            } else if (FD_ISSET(s, &failed) || !FD_ISSET(s, &writable)) {
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &length);
                if (err == 0) err = WSAECONNREFUSED;
            }
        }
    }
    if (err != 0) {
        closesocket(s);
        *error = ErrorText(err);
        return kNoSocket;
    }
    return static_cast<Socket>(s);
}

int Send(Socket socket, const std::uint8_t* bytes, std::size_t count, std::string* error)
{
    const int n = send(Handle(socket), reinterpret_cast<const char*>(bytes),
                       count > INT_MAX ? INT_MAX : static_cast<int>(count), 0);
    if (n != SOCKET_ERROR) return n;
    const int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return 0;
    *error = ErrorText(err);
    return -1;
}

int Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity, std::string* error)
{
    const int n = recv(Handle(socket), reinterpret_cast<char*>(buffer),
                       capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity), 0);
    if (n > 0) return n;
    if (n == 0) {
        *error = "the server closed the connection";
        return -1;
    }
    const int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return 0;
    *error = ErrorText(err);
    return -1;
}

int Wait(Socket socket, bool forWrite, long long waitUs)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(Handle(socket), &ready);
    FD_SET(Handle(socket), &failed);
    timeval wait = TimeValue(waitUs);
    const int rc = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &wait);
    if (rc < 0) return -1;
    return rc > 0 ? 1 : 0;
}

void Close(Socket socket)
{
    if (socket != kNoSocket) closesocket(Handle(socket));
}

}  // namespace netsys
}  // namespace netport
