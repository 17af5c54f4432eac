#include "engine/traffic_decode.h"

#include <cstdio>

#include "modbus/reply_codes.h"
#include "modbus/request_view.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "platform/os/clock.h"

namespace {

int word(const unsigned char* b)
{
    return (b[0] << 8) | b[1];
}

int signedWord(const unsigned char* b)
{
    const int w = word(b);
    return w >= 0x8000 ? w - 0x10000 : w;
}

// What a request asks for: "W 2550 Over volt = 58" or "R 2748..2773 (26)".
std::string describeRequest(const unsigned char* r, int length)
{
    const RequestView request = ViewRequest(r, length);
    if (!request.complete) return "request of " + std::to_string(length) + " bytes";
    const int address = request.address;
    if (request.isWrite()) {
        return "W " + std::to_string(address) + " " + Catalogue().captionOf(address) + " = " +
               std::to_string(request.signedField());
    }
    if (request.isRead()) {
        const int count = request.count();
        return "R " + std::to_string(address) + ".." + std::to_string(address + count - 1) + " (" +
               std::to_string(count) + ")";
    }
    return "function " + std::to_string(request.function) + " at " + std::to_string(address);
}

std::string outcome(const LineEvent& e)
{
    switch (e.result) {
        case MODBUS_READ_ACCEPTED:
            return std::to_string(e.length) + " bytes ✓";
        case MODBUS_PASSWORD_ACCEPTED:
            return "password accepted ✓";
        case MODBUS_WRITE_ECHO:
            return "echo ✓";
        default:
            break;
    }
    return std::string("✗ ") + ResultInWords(e.result);
}

}  // namespace

const char* DirectionOf(const LineEvent& event)
{
    switch (event.kind) {
        case LineEventKind::RequestSent:
            return "TX";
        case LineEventKind::ReplyAccepted:
        case LineEventKind::ReplyRejected:
            return "RX";
        default:
            return "--";
    }
}

std::string HexOf(const LineEvent& event)
{
    if (event.kind == LineEventKind::PortError) {
        return std::string(reinterpret_cast<const char*>(event.bytes), static_cast<size_t>(event.length));
    }
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(static_cast<size_t>(event.length) * 3);
    for (int i = 0; i < event.length; ++i) {
        if (i > 0) hex += ' ';
        hex += kDigits[event.bytes[i] >> 4];
        hex += kDigits[event.bytes[i] & 0x0F];
    }
    return hex;
}

std::string DecodeLineEvent(const LineEvent& e)
{
    switch (e.kind) {
        case LineEventKind::RequestSent:
            return describeRequest(e.bytes, e.length);
        case LineEventKind::ReplyAccepted:
        case LineEventKind::ReplyRejected:
            return describeRequest(e.request, e.requestLength) + " → " + outcome(e);
        case LineEventKind::Timeout:
            return describeRequest(e.request, e.requestLength) + " → ✗ no reply in time" +
                   (e.length > 0 ? " (" + std::to_string(e.length) + " bytes came)" : std::string());
        case LineEventKind::PortError:
            return "✗ port error: " + HexOf(e);
    }
    return std::string();
}

std::string TrafficLine(const LineEvent& e)
{
    std::string line = TimeOfDay(e) + "  " + DirectionOf(e) + "  " + DecodeLineEvent(e);
    if (e.responseUs >= 0) {
        char ms[48];
        std::snprintf(ms, sizeof ms, "  (%.0f ms)", static_cast<double>(e.responseUs) / 1000.0);
        line += ms;
    }
    if (e.kind != LineEventKind::PortError && e.length > 0) line += "   " + HexOf(e);
    return line;
}

std::string LostEventsLine(std::uint64_t count)
{
    return "… " + std::to_string(count) + " frames not shown: the monitor fell behind";
}

std::string TimeOfDay(const LineEvent& event)
{
    const LocalTime t = LocalTimeAt(event.wallMs);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second, t.millisecond);
    return text;
}

std::string IsoTime(std::int64_t wallMs)
{
    return IsoLocalTime(wallMs);
}

bool StatusReplyWords(const unsigned char* request, int requestLength, const unsigned char* reply,
                      int replyLength, std::int16_t* words)
{
    const RequestView view = ViewRequest(request, requestLength);
    if (reply == nullptr || !view.isRead()) return false;
    if (view.address != kStatusTable.first_register || view.count() != kStatusTable.count) return false;
    if (replyLength < 3 + 2 * kStatusTable.count) return false;
    for (int i = 0; i < kStatusTable.count; ++i)
        words[i] = static_cast<std::int16_t>(signedWord(reply + 3 + 2 * static_cast<std::ptrdiff_t>(i)));
    return true;
}

bool StatusReplyWords(const LineEvent& e, std::int16_t* words)
{
    if (e.kind != LineEventKind::ReplyAccepted || e.result != MODBUS_READ_ACCEPTED) return false;
    return StatusReplyWords(e.request, e.requestLength, e.bytes, e.length, words);
}

bool StatusReplyWords(const LineReport& r, std::int16_t* words)
{
    // A report's request is always a whole frame.
    if (r.kind != LineReportKind::ReplyAccepted || r.result != MODBUS_READ_ACCEPTED) return false;
    return StatusReplyWords(r.request, kRequestFrameLength, r.bytes, r.length, words);
}
