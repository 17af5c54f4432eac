// Feeds any bytes from a server, cut into chunks, to the COM port client as
// a network device does, and checks what it makes of them.
//
// Input layout:
//   byte 0  the seed of the cuts: chunks of 1..16 bytes, or the whole stream
//           at once when the seed is 0
//   byte 1  the settings asked for: bits 0..2 the rate (kRates), bits 3..4
//           parity, bit 5 seven data bits, bit 6 two stop bits
//   rest    the stream from the server
//
// Checks:
//   - the data bytes handed on are exactly what a separate, whole-stream
//     reading of the Telnet rules gives, however the stream is cut;
//   - what the client wants to send never grows past its bound;
//   - a session that failed has a reason, and one that did not has none;
//   - the session never goes back from ready or failed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/port/telnet_codec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using netport::ComPortClient;
namespace telnet = netport::telnet;

constexpr long kRates[] = {1200, 2400, 4800, 9600, 19200, 115200, 57600, 65535};

void Fail(const char* what)
{
    std::fprintf(stderr, "telnet_fuzz: %s\n", what);
    std::abort();
}

// The data bytes of a whole stream by the Telnet rules, read with indices
// over the whole of it (no state carried between pieces).
Bytes ReferenceData(const std::uint8_t* s, std::size_t n)
{
    Bytes out;
    std::size_t i = 0;
    while (i < n) {
        if (s[i] != telnet::kIac) {
            out.push_back(s[i++]);
            continue;
        }
        if (i + 1 >= n) break;
        const std::uint8_t c = s[i + 1];
        if (c == telnet::kIac) {
            out.push_back(c);
            i += 2;
        } else if (c >= telnet::kWill) {
            i += 3;
        } else if (c == telnet::kSb) {
            // The option byte, then the payload up to IAC SE; a command
            // other than IAC IAC inside it ends it, and is read from there.
            std::size_t j = i + 3;
            i = n;
            while (j < n) {
                if (s[j] != telnet::kIac) {
                    ++j;
                } else if (j + 1 >= n) {
                    break;
                } else if (s[j + 1] == telnet::kIac) {
                    j += 2;
                } else if (s[j + 1] == telnet::kSe) {
                    i = j + 2;
                    break;
                } else {
                    i = j;
                    break;
                }
            }
        } else {
            i += 2;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    unsigned seed = data[0];
    const std::uint8_t settingsByte = data[1];
    const std::uint8_t* stream = data + 2;
    const std::size_t n = size - 2;

    SerialSettings settings;
    settings.baud = kRates[settingsByte & 7];
    settings.parity = (settingsByte >> 3) & 3;
    settings.dataBits = (settingsByte & 0x20) != 0 ? 7 : 8;
    settings.stopBits = (settingsByte & 0x40) != 0 ? 2 : 1;
    ComPortClient client(settings);

    Bytes got;
    Bytes out;
    bool settled = false;
    std::size_t at = 0;
    while (at < n) {
        std::size_t chunk = n - at;
        if (seed != 0) {
            seed = seed * 1103515245u + 12345u;
            chunk = std::min<std::size_t>(chunk, 1 + ((seed >> 16) & 15));
        }
        client.receive(stream + at, chunk, &got);
        at += chunk;
        out.clear();
        client.takeOutgoing(&out);
        if (out.size() > ComPortClient::kMaxOutgoing) Fail("outgoing bytes past the bound");
        const ComPortClient::Stage stage = client.stage();
        const bool ended = stage == ComPortClient::Stage::Ready || stage == ComPortClient::Stage::Failed;
        if (settled && !ended) Fail("the session went back from ready or failed");
        settled = settled || ended;
        if ((stage == ComPortClient::Stage::Failed) == client.failure().empty())
            Fail("failure and reason disagree");
    }
    if (got != ReferenceData(stream, n)) Fail("data bytes differ from the reference reading");
    return 0;
}
