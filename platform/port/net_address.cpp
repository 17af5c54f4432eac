#include "platform/port/net_address.h"

#include <cctype>
#include <cstddef>
#include <vector>

namespace netport {

namespace {

constexpr const char* kRawScheme = "tcp";
constexpr const char* kComPortScheme = "rfc2217";
constexpr std::size_t kMaxNameLength = 253;
constexpr std::size_t kMaxLabelLength = 63;
constexpr int kMaxPort = 65535;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// Four decimal numbers 0..255 without leading zeros (which some resolvers
// would read as octal).
bool IsIpv4(const std::string& text)
{
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != 4) return false;
    for (const std::string& p : parts) {
        if (p.empty() || p.size() > 3 || (p.size() > 1 && p[0] == '0')) return false;
        int value = 0;
        for (const char c : p) {
            if (!IsDigit(c)) return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255) return false;
    }
    return true;
}

// Groups of one to four hexadecimal digits, at most one "::", the last two
// groups possibly written as an IPv4 address, and an optional "%zone".
bool IsIpv6(const std::string& text)
{
    std::string address = text;
    const std::size_t percent = text.find('%');
    if (percent != std::string::npos) {
        const std::string zone = text.substr(percent + 1);
        if (zone.empty()) return false;
        for (const char c : zone) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '.' && c != '_' && c != '-' &&
                c != '~')
                return false;
        }
        address = text.substr(0, percent);
    }
    const std::size_t gap = address.find("::");
    if (gap != std::string::npos && address.find("::", gap + 1) != std::string::npos) return false;
    int groups = 0;
    const auto countSide = [&groups](const std::string& side, bool last) {
        if (side.empty()) return true;
        const std::vector<std::string> parts = Split(side, ':');
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string& p = parts[i];
            if (last && i + 1 == parts.size() && p.find('.') != std::string::npos) {
                if (!IsIpv4(p)) return false;
                groups += 2;
                continue;
            }
            if (p.empty() || p.size() > 4) return false;
            for (const char c : p) {
                if (!IsHex(c)) return false;
            }
            ++groups;
        }
        return true;
    };
    if (gap == std::string::npos) return countSide(address, true) && groups == 8;
    return countSide(address.substr(0, gap), false) && countSide(address.substr(gap + 2), true) &&
           groups <= 7;
}

// Dot-separated labels of letters, digits and hyphens, none starting or
// ending with a hyphen.
bool IsHostName(const std::string& text)
{
    if (text.empty() || text.size() > kMaxNameLength) return false;
    for (const std::string& label : Split(text, '.')) {
        if (label.empty() || label.size() > kMaxLabelLength) return false;
        if (label.front() == '-' || label.back() == '-') return false;
        for (const char c : label) {
            if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '-') return false;
        }
    }
    return true;
}

bool AllDigitsAndDots(const std::string& text)
{
    for (const char c : text) {
        if (!IsDigit(c) && c != '.') return false;
    }
    return true;
}

bool Refuse(const std::string& text, const std::string& why, std::string* error)
{
    if (error != nullptr) *error = "bad network device '" + text + "': " + why;
    return false;
}

}  // namespace

bool IsNetworkPath(const std::string& path)
{
    const std::size_t sep = path.find("://");
    if (sep == std::string::npos || sep == 0) return false;
    if (std::isalpha(static_cast<unsigned char>(path[0])) == 0) return false;
    for (std::size_t i = 1; i < sep; ++i) {
        const char c = path[i];
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

bool ParseNetAddress(const std::string& text, NetAddress* out, std::string* error)
{
    const std::string forms = "write tcp://HOST:PORT or rfc2217://HOST:PORT";
    if (!IsNetworkPath(text)) return Refuse(text, forms, error);
    const std::size_t sep = text.find("://");
    const std::string scheme = text.substr(0, sep);
    NetAddress a;
    if (scheme == kRawScheme) {
        a.kind = NetKind::RawTcp;
    } else if (scheme == kComPortScheme) {
        a.kind = NetKind::ComPortControl;
    } else {
        return Refuse(text, "unknown kind '" + scheme + "' (" + forms + ")", error);
    }
    const std::string rest = text.substr(sep + 3);
    if (rest.empty()) return Refuse(text, "no HOST:PORT", error);

    std::string portText;
    if (rest[0] == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) return Refuse(text, "the IPv6 address has no closing ']'", error);
        a.host = rest.substr(1, close - 1);
        a.ipv6 = true;
        a.literal = true;
        if (!IsIpv6(a.host)) return Refuse(text, "'" + a.host + "' is not an IPv6 address", error);
        const std::string after = rest.substr(close + 1);
        if (after.empty()) return Refuse(text, "no port (HOST:PORT)", error);
        if (after[0] != ':')
            return Refuse(text, "'" + after + "' after the address, where ':PORT' belongs", error);
        portText = after.substr(1);
    } else {
        const std::size_t colon = rest.find(':');
        if (colon == std::string::npos) return Refuse(text, "no port (HOST:PORT)", error);
        if (rest.find(':', colon + 1) != std::string::npos) {
            return Refuse(text, "an IPv6 address is written in brackets, e.g. rfc2217://[::1]:2000", error);
        }
        a.host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
        if (a.host.empty()) return Refuse(text, "no host", error);
        a.literal = AllDigitsAndDots(a.host);
        if (a.literal ? !IsIpv4(a.host) : !IsHostName(a.host)) {
            return Refuse(
                text, "host '" + a.host + "' is not a name, an IPv4 address or an IPv6 address in brackets",
                error);
        }
    }
    if (portText.empty()) return Refuse(text, "no port (HOST:PORT)", error);
    std::size_t digits = 0;
    while (digits < portText.size() && IsDigit(portText[digits])) ++digits;
    if (digits == 0) return Refuse(text, "port '" + portText + "' is not a number 1..65535", error);
    if (digits < portText.size()) {
        return Refuse(text, "'" + portText.substr(digits) + "' after the port", error);
    }
    long port = 0;
    for (const char c : portText) {
        port = port * 10 + (c - '0');
        if (port > kMaxPort) break;
    }
    if (port < 1 || port > kMaxPort) return Refuse(text, "port " + portText + " is outside 1..65535", error);
    a.port = static_cast<int>(port);
    if (out != nullptr) *out = a;
    return true;
}

std::string NetworkPathProblem(const std::string& path)
{
    if (!IsNetworkPath(path)) return {};
    NetAddress address;
    std::string error;
    return ParseNetAddress(path, &address, &error) ? std::string() : error;
}

std::string FormatNetAddress(const NetAddress& address)
{
    const std::string scheme = address.kind == NetKind::RawTcp ? kRawScheme : kComPortScheme;
    const std::string host = address.ipv6 ? "[" + address.host + "]" : address.host;
    return scheme + "://" + host + ":" + std::to_string(address.port);
}

}  // namespace netport
