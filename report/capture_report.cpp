#include "report/capture_report.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "engine/traffic_decode.h"
#include "modbus/capture_file.h"
#include "model/link_health.h"
#include "sets/parameter_set.h"

namespace {

constexpr unsigned char kReadHolding = 0x03;

// Every event the tracker tells, in order.
class Events : public FaultObserver {
public:
    void faultEvent(const FaultEvent& event) override { events.push_back(event); }
    std::vector<FaultEvent> events;
};

bool startsWith(const std::string& text, const char* head)
{
    return text.rfind(head, 0) == 0;
}

// The registers an accepted reply to a read of holding registers gives,
// into *words (later reads of a register replace earlier ones).
void takeRead(const std::vector<unsigned char>& request, const std::vector<unsigned char>& reply,
              std::map<int, int>* words)
{
    if (request.size() != 8 || reply.size() < 5 || request[1] != kReadHolding || reply[1] != kReadHolding)
        return;
    const int first = request[2] << 8 | request[3];
    const int count = request[4] << 8 | request[5];
    if (reply[2] != 2 * count || reply.size() != 5 + 2 * static_cast<std::size_t>(count)) return;
    for (int i = 0; i < count; ++i) {
        const int reg = first + i;
        if (psets::FindRegister(reg) == nullptr) continue;
        const auto word = static_cast<std::uint16_t>(reply[3 + 2 * i] << 8 | reply[4 + 2 * i]);
        (*words)[reg] = static_cast<std::int16_t>(word);
    }
}

// The port of an interface named "COM4 /dev/ttyUSB0 19200 8O1", described by
// "COM4 /dev/ttyUSB0 19200 8O1, line rate, ...".
void describePort(const CaptureInterface& i, ReportAbout* a)
{
    a->lineSettings = WithoutHome(i.name);
    // An interface without a description leaves the framing an earlier one gave.
    if (!i.description.empty()) {
        const bool named =
            i.description.size() > i.name.size() + 2 && startsWith(i.description, i.name.c_str());
        a->framing = WithoutHome(named ? i.description.substr(i.name.size() + 2) : i.description);
    }
    std::istringstream words(i.name);
    std::string com;
    std::string device;
    words >> com >> device;
    if (startsWith(com, "COM")) {
        char* end = nullptr;
        const long n = std::strtol(com.c_str() + 3, &end, 10);
        if (*end == '\0' && n > 0 && n < 1000) a->comNumber = static_cast<int>(n);
    }
    a->device = WithoutHome(device);
    if (device.find("://") != std::string::npos) a->networkAddress = a->device;
}

}  // namespace

CaptureReport ReportFromCapture(const std::vector<unsigned char>& capture, const std::string& version)
{
    CaptureReport r;
    ReportInputs& in = r.inputs;
    in.capture = capture;
    in.about.version = version;
    in.about.system = ReportSystemName();
    CaptureReader reader;
    if (!reader.openBytes(capture, "capture", &r.error)) return r;

    FaultTracker tracker;
    Events events;
    tracker.addObserver(&events);
    LinkCounters& link = in.link;
    std::vector<unsigned char> request;  // the last request, until a reply or a time-out takes it
    std::int64_t requestUs = 0;
    std::int64_t lastUs = 0;
    std::int64_t lastPacketUs = 0;
    std::int64_t closedUs = -1;  // the port's closing, until it opens again
    StatusWords lastStatus{};    // of the last status reply since the port opened
    bool haveStatus = false;
    for (CaptureReader::Item item = reader.next(); item != CaptureReader::Item::End; item = reader.next()) {
        if (item == CaptureReader::Item::Error) {
            r.error = reader.error();
            break;
        }
        if (item == CaptureReader::Item::Interface) {
            // The port closed and opened again: the bits on were lost at its
            // closing. The capture's last closing is the end of the report,
            // as the end of a run of the line is.
            if (closedUs >= 0) tracker.portOpened(closedUs / 1000, closedUs);
            closedUs = -1;
            haveStatus = false;
            describePort(reader.interface(), &in.about);
            request.clear();
            continue;
        }
        if (item == CaptureReader::Item::InterfaceEnd) {
            const CaptureInterfaceEnd& end = reader.interfaceEnd();
            lastUs = std::max(lastUs, end.timeUs);
            if (startsWith(end.comment, "port failed")) ++link.portErrors;
            closedUs = end.timeUs;
            request.clear();
            continue;
        }
        const CapturePacket& p = reader.packet();
        lastUs = std::max(lastUs, p.timeUs);
        lastPacketUs = std::max(lastPacketUs, p.timeUs);
        if (p.direction == CaptureDirection::Outbound) {
            ++link.requests;
            link.bytesSent += p.bytes.size();
            if (p.comment == "time-out") {
                ++link.timeouts;
                request.clear();
            } else {
                request = p.bytes;
                requestUs = p.timeUs;
            }
            continue;
        }
        if (p.direction != CaptureDirection::Inbound) continue;
        link.bytesReceived += p.bytes.size();
        if (request.empty()) continue;  // bytes that belong to no request
        if (p.comment == "accepted" || p.comment == "password echo") {
            const std::int64_t us = p.timeUs - requestUs;
            link.responseLastUs = us;
            link.responseMinUs = link.responses == 0 ? us : std::min(link.responseMinUs, us);
            link.responseMaxUs = std::max(link.responseMaxUs, us);
            link.responseSumUs += us;
            ++link.responses;
            link.lastGoodReplyWallMs = p.timeUs / 1000;
        }
        if (p.comment == "password echo") {
            ++link.passwordWrites;
            ++link.repliesOk;  // as the line counts it: an answered request
        } else if (p.comment == "accepted") {
            ++link.repliesOk;
            StatusReply s;
            s.wallMs = p.timeUs / 1000;
            s.clockUs = p.timeUs;
            if (StatusReplyWords(request.data(), static_cast<int>(request.size()), p.bytes.data(),
                                 static_cast<int>(p.bytes.size()), s.words.data())) {
                tracker.statusReply(s);
                lastStatus = s.words;
                haveStatus = true;
                ++r.statusReplies;
            } else {
                takeRead(request, p.bytes, &in.parameters);
                // While the pages are read the status block waits: the
                // controller answering them is no loss of the link, and its
                // fault words stand as last read.
                if (haveStatus) {
                    s.words = lastStatus;
                    tracker.statusReply(s);
                }
            }
        } else if (p.comment == "rejected: CRC") {
            ++link.crcErrors;
        } else if (startsWith(p.comment, "rejected: exception")) {
            ++link.exceptions;
        } else if (startsWith(p.comment, "rejected")) {
            ++link.otherRejects;
        }
        request.clear();
    }
    // Silent to the end of the capture: the link was lost, as the line's
    // feed finds it, at the last reply.
    const StatusReply& last = tracker.lastReply();
    if (tracker.tracking() && lastPacketUs - last.clockUs > kStaleMs * 1000)
        tracker.linkLost(last.wallMs, last.clockUs);
    in.faults = events.events;
    in.madeWallMs = lastUs / 1000;
    in.parametersRead = !in.parameters.empty();
    if (!in.parametersRead) in.parametersProblem = "the capture holds no read of them";
    return r;
}
