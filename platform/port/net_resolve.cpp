// Name resolution, the same calls on both systems.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include "platform/port/net_socket.h"

namespace netport {
namespace netsys {

namespace {

std::string EndpointText(const sockaddr* address, std::size_t length)
{
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (getnameinfo(address, static_cast<socklen_t>(length), host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return "the server";
    }
    const bool v6 = address->sa_family == AF_INET6;
    return (v6 ? "[" + std::string(host) + "]" : std::string(host)) + " port " + service;
}

}  // namespace

bool Resolve(const std::string& host, int port, std::vector<Endpoint>* out, std::string* error)
{
    if (!StartSockets(error)) return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) {
        *error = ResolveErrorText(rc);
        return false;
    }
    out->clear();
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        Endpoint e;
        const auto* bytes = reinterpret_cast<const unsigned char*>(a->ai_addr);
        e.address.assign(bytes, bytes + a->ai_addrlen);
        e.family = a->ai_family;
        e.text = EndpointText(a->ai_addr, a->ai_addrlen);
        out->push_back(e);
    }
    freeaddrinfo(found);
    if (out->empty()) *error = "no address found";
    return !out->empty();
}

}  // namespace netsys
}  // namespace netport
