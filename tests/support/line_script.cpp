#include "tests/support/line_script.h"

#include <algorithm>

#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "serial/line_machine.h"
#include "tests/support/vectors.h"

namespace testsupport {

void ReportExchange(const std::vector<unsigned char>& request, const std::vector<unsigned char>& reply,
                    int result)
{
    LineObservers& line = TheLine().observers();
    LineReport sent;
    sent.kind = LineReportKind::RequestSent;
    sent.bytes = request.data();
    sent.length = static_cast<int>(request.size());
    sent.clockUs = TheLine().now();
    line.notify(sent);
    LineReport received;
    received.kind = LineReportKind::BytesReceived;
    received.count = static_cast<int>(reply.size());
    received.clockUs = TheLine().now();
    line.notify(received);
    unsigned char onTheLine[8] = {};  // a report's request is 8 bytes
    std::copy_n(request.begin(), std::min<std::size_t>(request.size(), sizeof onTheLine), onTheLine);
    LineReport parsed;
    parsed.kind = IsAcceptedResult(result) ? LineReportKind::ReplyAccepted : LineReportKind::ReplyRejected;
    parsed.bytes = reply.data();
    parsed.length = static_cast<int>(reply.size());
    parsed.request = onTheLine;
    parsed.result = result;
    parsed.clockUs = TheLine().now();
    line.notify(parsed);
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
