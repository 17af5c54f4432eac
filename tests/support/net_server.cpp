#include "tests/support/net_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cctype>
#include <cstdio>

namespace testsupport {

namespace {

using netport::TelnetEvent;
namespace telnet = netport::telnet;

#ifdef _WIN32
using Handle = SOCKET;
using Length = int;
void CloseHandle(std::intptr_t s)
{
    if (s != -1) closesocket(static_cast<Handle>(s));
}
bool StartSockets()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
#else
using Handle = int;
using Length = socklen_t;
void CloseHandle(std::intptr_t s)
{
    if (s != -1) ::close(static_cast<Handle>(s));
}
bool StartSockets()
{
    return true;
}
#endif

Handle H(std::intptr_t s)
{
    return static_cast<Handle>(s);
}

// True when `s` can be read within `waitMs`.
bool Readable(std::intptr_t s, int waitMs)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(H(s), &set);
    timeval wait{0, static_cast<long>(waitMs) * 1000};
    return select(static_cast<int>(H(s)) + 1, &set, nullptr, nullptr, &wait) > 0;
}

sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<unsigned short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A socket listening on the loopback interface; *port receives its number.
std::intptr_t Listen(int backlog, int* port)
{
    StartSockets();
    const Handle s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, backlog) != 0) {
        CloseHandle(static_cast<std::intptr_t>(s));
        return -1;
    }
    Length length = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return static_cast<std::intptr_t>(s);
}

void SendAll(std::intptr_t s, const Bytes& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int n = ::send(H(s), reinterpret_cast<const char*>(bytes.data() + done),
                             static_cast<int>(bytes.size() - done), 0);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

Bytes Subnegotiation(std::uint8_t code, const Bytes& value)
{
    Bytes b = {telnet::kIac, telnet::kSb, telnet::kComPort};
    netport::AppendEscaped(&code, 1, &b);
    netport::AppendEscaped(value.data(), value.size(), &b);
    b.insert(b.end(), {telnet::kIac, telnet::kSe});
    return b;
}

}  // namespace

Bytes SpacedHex(const std::string& spaced)
{
    Bytes out;
    std::string digits;
    for (const char c : spaced) {
        if (c == ' ') continue;
        digits += c;
        if (digits.size() == 2) {
            out.push_back(static_cast<std::uint8_t>(std::stoi(digits, nullptr, 16)));
            digits.clear();
        }
    }
    return out;
}

std::string SpacedHexOf(const Bytes& bytes)
{
    std::string text;
    char b[4];
    for (const std::uint8_t c : bytes) {
        std::snprintf(b, sizeof b, text.empty() ? "%02X" : " %02X", c);
        text += b;
    }
    return text;
}

NetServer::NetServer(const Script& script) : script_(script)
{
    listener_ = Listen(script.acceptNothing ? 0 : 4, &port_);
    if (script.acceptNothing) {
        // One connection waits in the queue, never taken: the next one gets
        // no answer at all.
        const Handle s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = Loopback(port_);
        if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            std::fprintf(stderr, "no filler connection\n");
        filler_ = static_cast<std::intptr_t>(s);
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

NetServer::~NetServer()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    CloseHandle(filler_);
    CloseHandle(listener_);
}

std::string NetServer::address() const
{
    return std::string(script_.kind == Kind::Raw ? "tcp" : "rfc2217") +
           "://127.0.0.1:" + std::to_string(port_);
}

Bytes NetServer::data() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return data_;
}

Bytes NetServer::raw() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return raw_;
}

std::vector<Bytes> NetServer::commands() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void NetServer::send(const Bytes& data)
{
    Bytes bytes;
    if (script_.kind == Kind::ComPort) {
        netport::AppendEscaped(data.data(), data.size(), &bytes);
    } else {
        bytes = data;
    }
    sendRaw(bytes);
}

void NetServer::sendRaw(const Bytes& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    toSend_.insert(toSend_.end(), bytes.begin(), bytes.end());
}

void NetServer::close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    closeWanted_ = true;
}

void NetServer::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    resetWanted_ = true;
}

void NetServer::serve()
{
    while (!stop_.load()) {
        if (!Readable(listener_, 20)) continue;
        const Handle s = accept(H(listener_), nullptr, nullptr);
        if (static_cast<std::intptr_t>(s) == -1) continue;
        ++connections_;
        reader_ = netport::TelnetReader();
        while (!stop_.load()) {
            Bytes out;
            bool closeNow = false;
            bool resetNow = false;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                out.swap(toSend_);
                closeNow = closeWanted_;
                resetNow = resetWanted_;
                closeWanted_ = resetWanted_ = false;
            }
            SendAll(static_cast<std::intptr_t>(s), out);
            if (resetNow) {
                // No lingering: the close sends a reset.
                linger off{1, 0};
                setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&off), sizeof off);
            }
            if (closeNow || resetNow) break;
            if (!Readable(static_cast<std::intptr_t>(s), 5)) continue;
            std::uint8_t buffer[4096];
            const int n = ::recv(s, reinterpret_cast<char*>(buffer), sizeof buffer, 0);
            if (n <= 0) break;
            Bytes answer;
            handle(buffer, static_cast<std::size_t>(n), &answer);
            SendAll(static_cast<std::intptr_t>(s), answer);
        }
        CloseHandle(static_cast<std::intptr_t>(s));
    }
}

void NetServer::handle(const std::uint8_t* bytes, std::size_t count, Bytes* answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    raw_.insert(raw_.end(), bytes, bytes + count);
    if (script_.kind == Kind::Raw) {
        data_.insert(data_.end(), bytes, bytes + count);
        return;
    }
    std::vector<TelnetEvent> events;
    reader_.feed(bytes, count, &data_, &events);
    for (const TelnetEvent& e : events) {
        if (e.kind == TelnetEvent::Kind::Option) {
            if (e.verb == telnet::kWill && e.option == telnet::kComPort) {
                if (script_.refuseOption) {
                    answer->insert(answer->end(), {telnet::kIac, telnet::kDont, telnet::kComPort});
                } else if (script_.answerOption) {
                    answer->insert(answer->end(), {telnet::kIac, telnet::kDo, telnet::kComPort});
                }
            }
            if (e.option == telnet::kBinary && (e.verb == telnet::kWill || e.verb == telnet::kDo)) {
                const std::uint8_t verb = e.verb == telnet::kWill ? telnet::kDo : telnet::kWill;
                answer->insert(answer->end(), {telnet::kIac, verb, telnet::kBinary});
            }
            continue;
        }
        if (e.kind != TelnetEvent::Kind::Subnegotiation || e.option != telnet::kComPort ||
            e.payload.empty()) {
            continue;
        }
        commands_.push_back(e.payload);
        const std::uint8_t code = e.payload[0];
        const Bytes value(e.payload.begin() + 1, e.payload.end());
        const auto held = script_.holding.find(code);
        if (held != script_.holding.end()) {
            const Bytes reply = Subnegotiation(static_cast<std::uint8_t>(code + 100), held->second);
            answer->insert(answer->end(), reply.begin(), reply.end());
        } else if (code == netport::comport::kPurgeData ||
                   (code >= netport::comport::kSetBaudRate && code <= netport::comport::kSetStopSize &&
                    script_.answerSettings)) {
            // The flow control is left unanswered, as some servers leave it.
            const Bytes reply = Subnegotiation(static_cast<std::uint8_t>(code + 100), value);
            answer->insert(answer->end(), reply.begin(), reply.end());
        }
    }
}

int NetServer::FreePort()
{
    int port = 0;
    CloseHandle(Listen(1, &port));
    return port;
}

}  // namespace testsupport
