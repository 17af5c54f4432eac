#include "tests/support/line_script.h"

#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "tests/support/vectors.h"

namespace testsupport {

void ReportExchange(const std::vector<unsigned char>& request, const std::vector<unsigned char>& reply,
                    int result)
{
    LineRequestSent(request.data(), static_cast<int>(request.size()));
    LineBytesReceived(static_cast<int>(reply.size()));
    LineReplyParsed(reply.data(), static_cast<int>(reply.size()), result);
}

void ReportStatusReply(const std::array<std::uint16_t, 26>& words)
{
    static const std::vector<unsigned char> kRead = WithCrc({0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A});
    std::vector<unsigned char> reply = {0x01, 0x03, 2 * 26};
    for (const std::uint16_t w : words) {
        reply.push_back(static_cast<unsigned char>(w >> 8));
        reply.push_back(static_cast<unsigned char>(w & 0xFF));
    }
    ReportExchange(kRead, WithCrc(reply), MODBUS_READ_ACCEPTED);
}

void ReportFaultWords(std::uint16_t first, std::uint16_t second, std::uint16_t third)
{
    std::array<std::uint16_t, 26> words{};
    words[14] = first;
    words[15] = second;
    words[16] = third;
    ReportStatusReply(words);
}

}  // namespace testsupport
