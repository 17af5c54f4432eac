#include "engine/line_capture.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "modbus/modbus.h"
#include "model/line_flags.h"
#include "platform/os/clock.h"
#include "serial/line_machine.h"
#include "serial/port_open.h"

namespace {

// The file is written and flushed once a second: the ring holds ten minutes,
// so the writer can wake seldom.
constexpr auto kDrainEvery = std::chrono::milliseconds(1000);
constexpr std::size_t kFileBuffer = std::size_t{64} * 1024;

// What the parser made of a reply.
const char* replyComment(int result)
{
    switch (result) {
        case MODBUS_READ_ACCEPTED:
        case MODBUS_WRITE_ECHO:
            return "accepted";
        case MODBUS_PASSWORD_ACCEPTED:
            return "password echo";
        case MODBUS_BAD_CRC:
            return "rejected: CRC";
        case MODBUS_EXCEPTION_1:
            return "rejected: exception 1";
        case MODBUS_EXCEPTION_2:
            return "rejected: exception 2";
        case MODBUS_EXCEPTION_3:
            return "rejected: exception 3";
        case MODBUS_EXCEPTION_4:
            return "rejected: exception 4";
        case MODBUS_BAD_SLAVE:
            return "rejected: another slave";
        case MODBUS_BAD_FUNCTION:
            return "rejected: another function";
        case MODBUS_UNKNOWN_BLOCK:
            return "rejected: a block of no table";
        default:
            return "rejected";
    }
}

// `text` without the spaces it ends with ("Com Read failed! ").
void copyTrimmed(char* into, std::size_t room, const char* text)
{
    std::snprintf(into, room, "%s", text != nullptr ? text : "");
    std::size_t n = std::strlen(into);
    while (n > 0 && std::isspace(static_cast<unsigned char>(into[n - 1])) != 0) into[--n] = '\0';
}

std::string systemReason()
{
    return std::strerror(errno);
}

}  // namespace

std::uint64_t BitRateOf(const std::string& portName)
{
    std::istringstream words(portName);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.size() < 2) return 0;
    const std::string& rate = w[w.size() - 2];
    if (rate.empty() || rate.size() > 9 ||
        !std::all_of(rate.begin(), rate.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoull(rate);
}

CaptureInterface DescribeOpenPort()
{
    CaptureInterface i;
    i.name = OpenPortDescription();
    if (i.name.empty()) i.name = "COM" + std::to_string(active_comselect.load());
    const LineMachine& line = TheLine();
    const std::string framing =
        line.framing() == Framing::LineRate
            ? "line rate, reply time-out " + std::to_string(line.replyTimeoutMs()) + " ms"
            : std::string("100 ms passes");
    i.description = i.name + ", " + framing;
    i.speed = BitRateOf(i.name);
    return i;
}

LineCapture::LineCapture(LineMachine& line, LineCaptureOptions options)
    : line_(line), options_(std::move(options)), ring_(options_.keepBytes, options_.keepUs)
{
    if (!options_.describePort) options_.describePort = DescribeOpenPort;
    if (!options_.wallUs) options_.wallUs = WallClockUs;
    anchorWallUs_ = options_.wallUs();
    anchorClockUs_ = line_.now();
    token_ = line_.observers().add([this](const LineReport& r) { observe(r); });
}

LineCapture::~LineCapture()
{
    line_.observers().remove(token_);
    stop();
}

// --- Packets --------------------------------------------------------------------------

void LineCapture::beginInterface(std::int64_t timeUs)
{
    if (interfaceOpen_) return;
    ring_.addInterface(timeUs, options_.describePort());
    interfaceOpen_ = true;
}

void LineCapture::packet(std::int64_t timeUs, CaptureDirection direction, const unsigned char* bytes,
                         int length, const char* comment)
{
    beginInterface(timeUs);
    ring_.addPacket(timeUs, direction, bytes,
                    bytes != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0, comment);
}

void LineCapture::releaseRequest(const char* comment)
{
    if (requestLength_ == 0) return;
    packet(requestUs_, CaptureDirection::Outbound, request_, requestLength_, comment);
    requestLength_ = 0;
}

void LineCapture::endInterface(std::int64_t timeUs, const char* comment)
{
    releaseRequest("");
    if (interfaceOpen_) ring_.addEnd(timeUs, comment);
    interfaceOpen_ = false;
    failure_[0] = '\0';
}

void LineCapture::observe(const LineReport& r)
{
    const std::int64_t t = wallOf(r.clockUs);
    const int length = r.bytes != nullptr ? std::max(r.length, 0) : 0;
    switch (r.kind) {
        case LineReportKind::RequestSent:
            // A request that went out while another awaited its reply (a
            // password write from the port panel) leaves that one as it was.
            releaseRequest("");
            beginInterface(t);
            requestLength_ = std::min(length, static_cast<int>(sizeof request_));
            if (requestLength_ > 0) std::memcpy(request_, r.bytes, static_cast<std::size_t>(requestLength_));
            requestUs_ = t;
            lastByteUs_ = -1;
            break;
        case LineReportKind::BytesReceived:
            lastByteUs_ = t;
            break;
        case LineReportKind::ReplyAccepted:
        case LineReportKind::ReplyRejected:
            releaseRequest("");
            packet(lastByteUs_ >= 0 ? lastByteUs_ : t, CaptureDirection::Inbound, r.bytes, length,
                   replyComment(r.result));
            lastByteUs_ = -1;
            break;
        case LineReportKind::Timeout:
            // No byte of the reply came: the request itself says so.
            if (length == 0) {
                releaseRequest("time-out");
            } else {
                releaseRequest("");
                packet(lastByteUs_ >= 0 ? lastByteUs_ : t, CaptureDirection::Inbound, r.bytes, length,
                       "time-out");
            }
            lastByteUs_ = -1;
            break;
        case LineReportKind::BytesDiscarded: {
            releaseRequest("");
            char comment[96];
            std::snprintf(comment, sizeof comment, "not part of a frame: %s",
                          r.text != nullptr ? r.text : "");
            packet(t, CaptureDirection::Inbound, r.bytes, length, comment);
            break;
        }
        case LineReportKind::PortFailed:
            copyTrimmed(failure_, sizeof failure_, r.text);
            break;
        case LineReportKind::PortClosed: {
            char comment[256];
            char why[96];
            copyTrimmed(why, sizeof why, r.text);
            if (failure_[0] != '\0') {
                std::snprintf(comment, sizeof comment, "port failed: %s (%s)", failure_, why);
            } else {
                std::snprintf(comment, sizeof comment, "port closed: %s", why);
            }
            endInterface(t, comment);
            break;
        }
        case LineReportKind::PortOpened:
            endInterface(t, "port opened again");
            break;
        case LineReportKind::PasswordAccepted:
            break;
    }
}

void LineCapture::lineEnded(const char* why)
{
    char comment[128];
    std::snprintf(comment, sizeof comment, "port closed: %s", why != nullptr ? why : "");
    endInterface(wallOf(line_.now()), comment);
}

// --- The last ten minutes -------------------------------------------------------------

std::vector<unsigned char> LineCapture::lastMinutes() const
{
    const std::int64_t now = wallOf(line_.now());
    const CaptureRing::Stats s = ring_.stats();
    std::string comment = "the last " + std::to_string(options_.keepUs / 60000000) +
                          " minutes of the line, as the console kept them";
    if (s.droppedForRoom > 0) comment += "; the oldest of them did not fit the room kept";
    CaptureEncoder out;
    out.section(options_.application, comment);
    ring_.encode(now - options_.keepUs, out);
    return out.bytes();
}

bool LineCapture::saveLast(const std::string& path, std::string* error) const
{
    const std::vector<unsigned char> bytes = lastMinutes();
    // Written beside the file and put in its place once whole: nothing
    // half-written is ever left under its name.
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (f == nullptr) {
        if (error != nullptr) *error = "cannot create " + path + ": " + systemReason();
        return false;
    }
    std::string reason;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0) {
        reason = systemReason();
    }
    if (std::fclose(f) != 0 && reason.empty()) reason = systemReason();
    if (!reason.empty()) {
        if (error != nullptr) *error = "cannot write " + path + ": " + reason;
        std::remove(part.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(part, path, ec);
    if (ec) {
        if (error != nullptr) *error = "cannot write " + path + ": " + ec.message();
        std::remove(part.c_str());
        return false;
    }
    return true;
}

// --- A capture to a file --------------------------------------------------------------

bool LineCapture::start(const std::string& path, std::string* error)
{
    if (drain_.running()) {
        if (error != nullptr) *error = "a capture is already running";
        return false;
    }
    drain_.stop();  // a capture that stopped on a failure leaves its thread to join
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        if (error != nullptr) *error = "cannot create " + path + ": " + systemReason();
        return false;
    }
    std::setvbuf(f, nullptr, _IOFBF, kFileBuffer);
    encoder_ = CaptureEncoder();
    encoder_.section(options_.application, "capture of the line");
    if (std::fwrite(encoder_.bytes().data(), 1, encoder_.bytes().size(), f) != encoder_.bytes().size() ||
        std::fflush(f) != 0) {
        if (error != nullptr) *error = "cannot write " + path + ": " + systemReason();
        std::fclose(f);
        return false;
    }
    encoder_.clear();
    file_ = f;
    path_ = path;
    written_ = 0;
    follower_ = std::make_unique<CaptureFollower>(ring_);
    const auto flush = [this](std::string* reason) {
        if (std::fflush(file_) == 0) return true;
        *reason = systemReason();
        return false;
    };
    const auto close = [this](std::string* reason) {
        const bool closed = std::fclose(file_) == 0;
        if (!closed && reason != nullptr) *reason = systemReason();
        file_ = nullptr;
        return closed;
    };
    drain_.start(kDrainEvery, {[this](std::string* reason) { return writePending(reason); }, flush, close},
                 "Capture stopped: cannot write " + path + ": ",
                 "Capture may be incomplete: closing " + path + " failed: ");
    return true;
}

void LineCapture::stop()
{
    drain_.stop();
    follower_.reset();
}

std::string LineCapture::takeError()
{
    return drain_.takeError();
}

bool LineCapture::writePending(std::string* reason)
{
    while (follower_->take(encoder_) > 0) {
        const std::vector<unsigned char>& bytes = encoder_.bytes();
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            *reason = systemReason();
            return false;
        }
        encoder_.clear();
        written_ = follower_->packets();
    }
    if (follower_->lost() > 0) {
        *reason = "it fell behind the line by more than the console keeps (" +
                  std::to_string(follower_->lost()) + " records lost)";
        return false;
    }
    return true;
}
