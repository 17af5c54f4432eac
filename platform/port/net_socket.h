// The system's half of a TCP connection: name resolution, a connect that
// does not block, and non-blocking sends and receives on one socket. BSD
// sockets (net_socket_posix.cpp) or Windows sockets (net_socket_win32.cpp);
// the connection's logic above them is in net_device.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace netport {
namespace netsys {

// One address a name resolved to.
struct Endpoint {
    std::vector<unsigned char> address;  // the system's socket address, as bytes
    int family = 0;
    std::string text;  // "127.0.0.1 port 2000", for messages
};

// A socket handle; kNoSocket for none.
using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// Resolves `host` (a name or an address) for a TCP connection to `port`.
// Blocks as long as the system's resolver takes. False with *error set when
// nothing was found. (net_resolve.cpp, for both systems.)
bool Resolve(const std::string& host, int port, std::vector<Endpoint>* out, std::string* error);

// Readies the system's sockets once for the process; false with *error set
// when they cannot be used.
bool StartSockets(std::string* error);
// The text for a code the resolver returned.
std::string ResolveErrorText(int code);

// Starts a connection to `endpoint` and waits up to `waitMs` for it. Returns
// the connected socket (non-blocking, with the Nagle delay off), or kNoSocket
// with *error set; *timedOut tells a connection that got no answer in time
// from one that was refused.
Socket Connect(const Endpoint& endpoint, int waitMs, std::string* error, bool* timedOut);

// Sends what the socket takes now: the count sent (0 when it takes nothing
// now), or -1 with *error set when the connection has ended.
int Send(Socket socket, const std::uint8_t* bytes, std::size_t count, std::string* error);

// Takes what has arrived: the count (> 0), 0 when nothing is there, or -1
// with *error set when the connection has ended (closed by the far end or
// reset).
int Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity, std::string* error);

// Waits up to `waitUs` microseconds until the socket can be read (or, with
// `forWrite`, written). 1 when it can, 0 when the time ran out, -1 on an error.
// A connection that has ended counts as readable.
int Wait(Socket socket, bool forWrite, long long waitUs);

void Close(Socket socket);

}  // namespace netsys
}  // namespace netport
