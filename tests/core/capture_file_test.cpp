// Captures of the line: the file format written and read back, files of other
// writers' layouts, files refused where they go wrong, the ten minutes kept
// over a long run on the stepped clock, and the packets the capture makes of
// the line's reports.
#include "modbus/capture_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/line_capture.h"
#include "modbus/capture_ring.h"
#include "modbus/modbus.h"
#include "serial/line_machine.h"
#include "tests/support/capture_items.h"
#include "tests/support/line_script.h"
#include "tests/support/scripted_port.h"
#include "tests/support/stepped_clock.h"
#include "tests/support/test_support.h"
#include "tests/support/vectors.h"

using testsupport::CaptureItems;
using testsupport::FromHex;
using testsupport::ReadCaptureItems;
using testsupport::WithCrc;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr std::int64_t kWallUs = 1'700'000'000'123'456;  // 2023-11-14, a time with microseconds
const Bytes kStatusRead = FromHex("01030abc001a063d");

// Files laid out by hand, in either byte order.
struct Builder {
    bool big = false;
    Bytes out;

    void u(std::uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (big ? bytes - 1 - i : i);
            out.push_back(static_cast<unsigned char>((v >> shift) & 0xFF));
        }
    }
    void raw(const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
    void pad()
    {
        while (out.size() % 4 != 0) out.push_back(0);
    }
    void option(int code, const Bytes& value)
    {
        u(static_cast<std::uint64_t>(code), 2);
        u(value.size(), 2);
        raw(value);
        pad();
    }
    Bytes number(std::uint64_t v, int bytes)
    {
        Builder b{big, {}};
        b.u(v, bytes);
        return b.out;
    }
    // A pcapng block around `body` (padded by the caller); its offset.
    std::size_t block(std::uint32_t type, const Bytes& body)
    {
        const std::size_t at = out.size();
        u(type, 4);
        u(body.size() + 12, 4);
        raw(body);
        u(body.size() + 12, 4);
        return at;
    }
    std::size_t section()
    {
        Builder body{big, {}};
        body.u(0x1A2B3C4D, 4);
        body.u(1, 2);
        body.u(0, 2);
        body.u(~std::uint64_t{0}, 8);
        return block(0x0A0D0D0A, body.out);
    }
    std::size_t interface(int linkType, const Bytes& resolution = {}, const Bytes& offset = {})
    {
        Builder body{big, {}};
        body.u(static_cast<std::uint64_t>(linkType), 2);
        body.u(0, 2);
        body.u(0, 4);
        if (!resolution.empty()) body.option(9, resolution);
        if (!offset.empty()) body.option(14, offset);
        body.option(0, {});
        return block(1, body.out);
    }
    std::size_t packet(std::uint32_t type, std::uint32_t interface, std::uint64_t units, const Bytes& data,
                       std::uint32_t flags = 0)
    {
        Builder body{big, {}};
        body.u(interface, type == 2 ? 2 : 4);
        if (type == 2) body.u(0, 2);  // the obsolete block's drop count
        body.u(units >> 32, 4);
        body.u(units & 0xFFFFFFFFu, 4);
        body.u(data.size(), 4);
        body.u(data.size(), 4);
        body.raw(data);
        body.pad();
        if (flags != 0) body.option(2, number(flags, 4));
        body.option(0, {});
        return block(type, body.out);
    }
    void pcapHeader(std::uint32_t magic, int linkType, int major = 2)
    {
        u(magic, 4);
        u(static_cast<std::uint64_t>(major), 2);
        u(4, 2);
        u(0, 4);
        u(0, 4);
        u(65535, 4);
        u(static_cast<std::uint64_t>(linkType), 4);
    }
    void pcapRecord(std::uint32_t seconds, std::uint32_t fraction, const Bytes& data)
    {
        u(seconds, 4);
        u(fraction, 4);
        u(data.size(), 4);
        u(data.size(), 4);
        raw(data);
    }
};

// A capture as the console writes one, with the offsets where each block ends.
struct Written {
    Bytes bytes;
    std::vector<std::size_t> blockEnds;
};

Written writeSample()
{
    CaptureEncoder e;
    Written w;
    const auto mark = [&] { w.blockEnds.push_back(e.bytes().size()); };
    e.section("drive-console 9.8.7", "a test");
    mark();
    const std::uint32_t first =
        e.interface({"COM4 /dev/ttyUSB0 19200 8O1", "COM4 /dev/ttyUSB0 19200 8O1, 100 ms passes", 19200});
    mark();
    e.packet(first, kWallUs, CaptureDirection::Outbound, kStatusRead.data(), kStatusRead.size(), "");
    mark();
    const Bytes reply = testsupport::ReadReply(26, 100);
    e.packet(first, kWallUs + 38'001, CaptureDirection::Inbound, reply.data(), reply.size(), "accepted");
    mark();
    const Bytes stray = {0xFF, 0x00, 0x7E};
    e.packet(first, kWallUs + 99'999, CaptureDirection::Inbound, stray.data(), stray.size(),
             "not part of a frame: stray input before a request");
    mark();
    e.packet(first, kWallUs + 100'000, CaptureDirection::Outbound, kStatusRead.data(), kStatusRead.size(),
             "time-out");
    mark();
    e.interfaceEnd(first, kWallUs + 3'000'000, "port closed: closed by the operator");
    mark();
    const std::uint32_t second = e.interface({"COM5 /dev/ttyUSB1 115200 8N1", "", 0});
    mark();
    e.packet(second, kWallUs + 5'000'000, CaptureDirection::Unknown, nullptr, 0, "");
    mark();
    w.bytes = e.bytes();
    return w;
}

}  // namespace

TEST(CaptureFile, WhatIsWrittenIsReadBackAsItWas)
{
    const CaptureItems items = ReadCaptureItems(writeSample().bytes);
    ASSERT_EQ(items.error, "");
    EXPECT_EQ(items.application, "drive-console 9.8.7");
    EXPECT_EQ(items.order, "IPPPPEIP");
    ASSERT_EQ(items.interfaces.size(), 2u);
    EXPECT_EQ(items.interfaces[0].name, "COM4 /dev/ttyUSB0 19200 8O1");
    EXPECT_EQ(items.interfaces[0].description, "COM4 /dev/ttyUSB0 19200 8O1, 100 ms passes");
    EXPECT_EQ(items.interfaces[0].speed, 19200u);
    EXPECT_EQ(items.interfaces[1].name, "COM5 /dev/ttyUSB1 115200 8N1");
    EXPECT_EQ(items.interfaces[1].speed, 0u);

    ASSERT_EQ(items.packets.size(), 5u);
    const CapturePacket& request = items.packets[0];
    EXPECT_EQ(request.interfaceId, 0u);
    EXPECT_EQ(request.timeUs, kWallUs);
    EXPECT_EQ(request.direction, CaptureDirection::Outbound);
    EXPECT_EQ(request.bytes, kStatusRead);
    EXPECT_EQ(request.originalLength, 8u);
    EXPECT_EQ(request.comment, "");
    EXPECT_EQ(items.packets[1].timeUs, kWallUs + 38'001);
    EXPECT_EQ(items.packets[1].direction, CaptureDirection::Inbound);
    EXPECT_EQ(items.packets[1].bytes, testsupport::ReadReply(26, 100));
    EXPECT_EQ(items.packets[1].comment, "accepted");
    EXPECT_EQ(items.packets[2].bytes, Bytes({0xFF, 0x00, 0x7E}));
    EXPECT_EQ(items.packets[2].comment, "not part of a frame: stray input before a request");
    EXPECT_EQ(items.packets[3].comment, "time-out");
    EXPECT_EQ(items.packets[4].interfaceId, 1u);
    EXPECT_TRUE(items.packets[4].bytes.empty());
    EXPECT_EQ(items.packets[4].direction, CaptureDirection::Unknown);
    ASSERT_EQ(items.ends.size(), 1u);
    EXPECT_EQ(items.ends[0].interfaceId, 0u);
    EXPECT_EQ(items.ends[0].timeUs, kWallUs + 3'000'000);
    EXPECT_EQ(items.ends[0].comment, "port closed: closed by the operator");
}

TEST(CaptureFile, ReadsTheLayoutsOfOtherWriters)
{
    const Bytes frame = WithCrc({0x01, 0x06, 0x09, 0xF6, 0x00, 0x3A});
    // pcapng, big-endian: nanoseconds with an offset of 100 s, an unknown
    // block, an obsolete packet block; then a little-endian section whose
    // interface counts binary fractions.
    Builder b{true, {}};
    b.section();
    b.interface(147, {9}, b.number(100, 8));
    b.packet(6, 0, 1'000'000'123'456'789ull, frame, 2);
    b.block(0x40000BAD, Bytes(8, 0xAB));
    b.packet(2, 0, 2'000'000'000'000'000ull, frame, 1);
    b.big = false;
    b.section();
    b.interface(147, {0x94});                                          // 2^-20 s
    b.packet(6, 0, (1ull << 20) * 1'700'000'000 + (1u << 19), frame);  // .5 s
    CaptureItems items = ReadCaptureItems(b.out);
    ASSERT_EQ(items.error, "");
    ASSERT_EQ(items.order, "IPPIP");
    EXPECT_EQ(items.packets[0].timeUs, 1'000'000'123'456 + 100'000'000);
    EXPECT_EQ(items.packets[0].direction, CaptureDirection::Outbound);
    EXPECT_EQ(items.packets[0].bytes, frame);
    EXPECT_EQ(items.packets[1].timeUs, 2'000'000'000'000 + 100'000'000);
    EXPECT_EQ(items.packets[1].direction, CaptureDirection::Inbound);
    EXPECT_EQ(items.packets[2].interfaceId, 1u) << "interfaces count over the whole file";
    EXPECT_EQ(items.packets[2].timeUs, 1'700'000'000'500'000);

    // Classic pcap in both byte orders, microseconds and nanoseconds.
    for (const bool big : {false, true}) {
        for (const bool nano : {false, true}) {
            SCOPED_TRACE(std::string(big ? "big" : "little") + (nano ? " ns" : " us"));
            Builder p{big, {}};
            p.pcapHeader(nano ? 0xA1B23C4D : 0xA1B2C3D4, 147);
            p.pcapRecord(1'700'000'000, nano ? 123'456'789 : 123'456, kStatusRead);
            p.pcapRecord(1'700'000'001, 0, frame);
            items = ReadCaptureItems(p.out);
            ASSERT_EQ(items.error, "");
            ASSERT_EQ(items.order, "IPP");
            EXPECT_EQ(items.packets[0].timeUs, 1'700'000'000'123'456);
            EXPECT_EQ(items.packets[0].bytes, kStatusRead);
            EXPECT_EQ(items.packets[0].direction, CaptureDirection::Unknown);
            EXPECT_EQ(items.packets[1].timeUs, 1'700'000'001'000'000);
            EXPECT_EQ(items.packets[1].bytes, frame);
        }
    }
}

TEST(CaptureFile, RefusesWhatIsNoCaptureOfTheLineSayingWhere)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::size_t offset;
        const char* words;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, 0, "empty"});
    const std::string text = "time,battery\n12:00,48.1\n";
    cases.push_back({"a text file", Bytes(text.begin(), text.end()), 0, "not a capture"});
    cases.push_back({"three bytes", {0x0A, 0x0D, 0x0D}, 3, "too short"});
    {
        Builder b;
        b.section();
        const std::size_t at = b.interface(1);
        cases.push_back({"pcapng of another link type", b.out, at + 8, "link type 1, not 147"});
    }
    {
        Builder b;
        b.pcapHeader(0xA1B2C3D4, 1);
        cases.push_back({"pcap of another link type", b.out, 20, "link type 1, not 147"});
        Builder v;
        v.pcapHeader(0xA1B2C3D4, 147, 3);
        cases.push_back({"pcap of another version", v.out, 4, "version 3.4"});
    }
    {
        Builder b;
        b.section();
        b.out[8] = 0x00;  // the byte-order mark damaged
        cases.push_back({"no byte-order mark", b.out, 8, "byte-order mark"});
    }
    {
        Builder b;
        b.section();
        b.interface(147);
        const std::size_t at = b.packet(6, 0, 1, kStatusRead);
        b.out[b.out.size() - 4] ^= 0x04;  // the closing length
        cases.push_back({"closing length differs", b.out, b.out.size() - 4, "closes with length"});
        Builder u;
        u.section();
        u.interface(147);
        const std::size_t p = u.packet(6, 3, 1, kStatusRead);
        cases.push_back(
            {"a packet of no interface", u.out, p + 8, "interface 3, which its section has not described"});
        (void)at;
    }
    {
        Builder b;
        b.section();
        b.interface(147);
        Builder body;
        body.u(0, 4);
        body.u(0, 4);
        body.u(0, 4);
        body.u(100, 4);  // 100 bytes captured in a block that has 8
        body.u(100, 4);
        body.raw(kStatusRead);
        const std::size_t at = b.block(6, body.out);
        cases.push_back({"a packet longer than its block", b.out, at + 20, "does not fit its block"});
    }
    {
        Builder b;
        b.section();
        Builder body;
        body.u(147, 2);
        body.u(0, 2);
        body.u(0, 4);
        body.u(2, 2);
        body.u(40, 2);  // a name of 40 bytes in a block that ends after 4
        body.u(0, 4);
        const std::size_t at = b.block(1, body.out);
        cases.push_back({"an option past its block", b.out, at + 16, "runs past the end of its block"});
    }
    {
        Builder b;
        b.section();
        const std::size_t at = b.out.size();
        b.u(1, 4);
        b.u(0x7FFFFFFC, 4);
        cases.push_back({"a block far too long", b.out, at + 4, "longer than a capture of the line has"});
        Builder odd;
        odd.section();
        const std::size_t oddAt = odd.out.size();
        odd.u(1, 4);
        odd.u(30, 4);
        cases.push_back({"a length of no block", odd.out, oddAt + 4, "not a possible one"});
    }
    {
        Builder b;
        b.section();
        b.interface(147);
        Builder body;
        body.u(8, 4);
        body.raw(kStatusRead);
        const std::size_t at = b.block(3, body.out);
        cases.push_back({"a simple packet block", b.out, at, "carries no time"});
    }
    {
        Builder b;
        b.section();
        const std::size_t at = b.interface(147, {0xC6});  // 2^-70 s
        cases.push_back({"a time resolution beyond reading", b.out, at + 16, "time resolution"});
        Builder s;
        s.section();
        s.interface(147, {0});  // whole seconds
        const std::size_t p = s.packet(6, 0, ~std::uint64_t{0}, kStatusRead);
        cases.push_back({"a time beyond 64 bits of microseconds", s.out, p + 12, "time stamp out of range"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CaptureItems items = ReadCaptureItems(c.bytes, "bad.pcapng");
        const std::string prefix = "bad.pcapng: byte " + std::to_string(c.offset) + ": ";
        EXPECT_EQ(items.error.substr(0, prefix.size()), prefix) << items.error;
        EXPECT_NE(items.error.find(c.words), std::string::npos) << items.error;
    }
    // A file that is not there names itself too.
    const CaptureItems missing = testsupport::ReadCaptureFile(testsupport::TestFilePath("no-such.pcapng"));
    EXPECT_NE(missing.error.find("no-such.pcapng: "), std::string::npos) << missing.error;
}

// Cut anywhere, a capture reads up to the cut when it falls between blocks,
// and is refused at the cut when it falls inside one.
TEST(CaptureFile, ACaptureCutShortIsRefusedAtTheCut)
{
    const Written w = writeSample();
    const CaptureItems whole = ReadCaptureItems(w.bytes);
    for (std::size_t cut = 0; cut < w.bytes.size(); ++cut) {
        const CaptureItems items =
            ReadCaptureItems(Bytes(w.bytes.begin(), w.bytes.begin() + static_cast<long>(cut)), "cut");
        bool boundary = false;
        std::size_t blocks = 0;
        for (const std::size_t end : w.blockEnds) {
            if (end <= cut) ++blocks;
            boundary = boundary || end == cut;
        }
        if (boundary) {
            ASSERT_EQ(items.error, "") << "cut at " << cut;
            ASSERT_EQ(items.order, whole.order.substr(0, blocks - 1)) << "cut at " << cut;
        } else {
            ASSERT_EQ(items.error.rfind("cut: byte " + std::to_string(cut) + ": ", 0), 0u)
                << "cut at " << cut << ": " << items.error;
            ASSERT_EQ(items.order, whole.order.substr(0, blocks > 0 ? blocks - 1 : 0)) << "cut at " << cut;
        }
    }
}

// --- The ten minutes kept -------------------------------------------------------------

namespace {

CaptureInterface testPort()
{
    return {"COM4 /dev/ttyUSB0 19200 8O1", "COM4 /dev/ttyUSB0 19200 8O1, line rate, reply time-out 500 ms",
            19200};
}

}  // namespace

// An hour of line-rate polling of the status block on the stepped clock, the
// port closed and opened again now and then: the ring never holds more than
// its room nor more than ten minutes, keeps the whole ten minutes once they
// have passed, and hands out the last ten minutes with the interface in
// force at their start, long after the record that opened it went.
TEST(CaptureRing, KeepsTheLastTenMinutesWithinItsRoomOverAnHour)
{
    testsupport::SteppedClock clock;
    LineCaptureOptions options;
    options.wallUs = [] { return kWallUs; };
    options.describePort = testPort;
    LineCapture capture(TheLine(), options);
    const std::size_t capacity = capture.kept().capacity;
    constexpr int kStepMs = 40;  // about the rate of the status block at 19200 bit/s
    constexpr int kHourSteps = 3600 * 1000 / kStepMs;
    const std::int64_t startUs = TheLine().now();
    for (int step = 1; step <= kHourSteps; ++step) {
        testsupport::ReportStatusReply({static_cast<std::uint16_t>(step)});
        clock.advance(kStepMs);
        if (step % (24 * 60 * 1000 / kStepMs) == 0) {
            // The port closed and opened again, every 24 minutes.
            LineReport closed;
            closed.kind = LineReportKind::PortClosed;
            closed.text = "closed by the operator";
            closed.clockUs = TheLine().now();
            TheLine().observers().notify(closed);
        }
        if (step % 1500 != 0) continue;
        const CaptureRing::Stats s = capture.kept();
        ASSERT_EQ(s.capacity, capacity) << "allocated once";
        ASSERT_LE(s.used, s.capacity);
        ASSERT_LE(s.newestUs - s.oldestUs, kCaptureKeepUs);
        if (TheLine().now() - startUs > kCaptureKeepUs + 1'000'000) {
            ASSERT_GE(s.newestUs - s.oldestUs, kCaptureKeepUs - kStepMs * 1000);
        }
        ASSERT_EQ(s.droppedForRoom, 0u);
    }
    const CaptureItems last = ReadCaptureItems(capture.lastMinutes());
    ASSERT_EQ(last.error, "");
    // Ten minutes of exchanges, both ends counted; the last port reopened
    // at 48 minutes, so one interface, the one described then.
    const std::size_t exchanges = 10 * 60 * 1000 / kStepMs + 1;
    EXPECT_NEAR(static_cast<double>(last.packets.size()), 2.0 * exchanges, 2.0);
    ASSERT_EQ(last.interfaces.size(), 1u);
    EXPECT_EQ(last.interfaces[0].name, testPort().name);
    EXPECT_EQ(last.interfaces[0].description, testPort().description);
    const std::int64_t newest = last.packets.back().timeUs;
    EXPECT_GE(last.packets.front().timeUs, newest - kCaptureKeepUs);
    const Bytes newestReply = last.packets.back().bytes;
    ASSERT_GE(newestReply.size(), 5u);
    EXPECT_EQ(newestReply[3] << 8 | newestReply[4], kHourSteps & 0xFFFF) << "the newest exchange is kept";
}

// A ring too small for ten minutes keeps what fits, newest first, and says
// that the oldest did not fit.
TEST(CaptureRing, WhatDoesNotFitGoesOldestFirstAndIsSaid)
{
    testsupport::SteppedClock clock;
    LineCaptureOptions options;
    options.wallUs = [] { return kWallUs; };
    options.describePort = testPort;
    options.keepBytes = 64 * 1024;
    LineCapture capture(TheLine(), options);
    for (int step = 1; step <= 5000; ++step) {
        testsupport::ReportStatusReply({static_cast<std::uint16_t>(step)});
        clock.advance(40);
    }
    const CaptureRing::Stats s = capture.kept();
    EXPECT_LE(s.used, s.capacity);
    EXPECT_GT(s.droppedForRoom, 0u);
    const CaptureItems last = ReadCaptureItems(capture.lastMinutes());
    ASSERT_EQ(last.error, "");
    ASSERT_EQ(last.interfaces.size(), 1u);
    ASSERT_FALSE(last.packets.empty());
    EXPECT_LT(last.packets.size(), 2000u);
    EXPECT_EQ(last.packets.back().bytes[3] << 8 | last.packets.back().bytes[4], 5000);
    CaptureReader reader;
    ASSERT_TRUE(reader.openBytes(capture.lastMinutes(), "last", nullptr));
    EXPECT_EQ(reader.application(), "drive-console");
}

// --- Packets from the line's reports --------------------------------------------------

namespace {

std::atomic<std::int64_t> g_lineUs{0};
std::int64_t lineClock()
{
    return g_lineUs.load();
}

class CaptureOfReports : public ::testing::Test {
protected:
    void SetUp() override
    {
        TheLine().setClock(lineClock);
        g_lineUs = 5'000'000;
        LineCaptureOptions options;
        options.application = "drive-console 1.2.3";
        options.wallUs = [] { return kWallUs; };
        options.describePort = [this] {
            ++opened;
            return CaptureInterface{"COM" + std::to_string(opened), "port " + std::to_string(opened), 9600};
        };
        capture.emplace(TheLine(), options);
    }

    // A report at `ms` of the line's clock (from its start at 5 s).
    void tell(LineReportKind kind, int ms, const Bytes& bytes = {}, int result = 0, const char* text = "")
    {
        LineReport r;
        r.kind = kind;
        r.bytes = bytes.empty() ? nullptr : bytes.data();
        r.length = static_cast<int>(bytes.size());
        r.request = kStatusRead.data();
        r.result = result;
        r.text = text;
        r.clockUs = 5'000'000 + ms * 1000LL;
        capture->observe(r);
    }
    static std::int64_t at(int ms) { return kWallUs + ms * 1000LL; }

    int opened = 0;
    std::optional<LineCapture> capture;
};

struct Expected {
    std::int64_t timeUs;
    CaptureDirection direction;
    Bytes bytes;
    std::string comment;
};

void expectPackets(const std::vector<CapturePacket>& got, const std::vector<Expected>& expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].timeUs, expected[i].timeUs);
        EXPECT_EQ(got[i].direction, expected[i].direction);
        EXPECT_EQ(got[i].bytes, expected[i].bytes);
        EXPECT_EQ(got[i].comment, expected[i].comment);
    }
}

}  // namespace

TEST_F(CaptureOfReports, EachFrameIsAPacketWithWhatTheConsoleMadeOfIt)
{
    using K = LineReportKind;
    constexpr auto Out = CaptureDirection::Outbound;
    constexpr auto In = CaptureDirection::Inbound;
    const Bytes reply = testsupport::ReadReply(26, 7);
    const Bytes password = FromHex("01060fc759274169");
    const Bytes exception = WithCrc({0x01, 0x83, 0x02});
    Bytes damaged = reply;
    damaged.back() ^= 0xFF;
    // A reply collected over passes: its time is that of its last byte.
    tell(K::RequestSent, 0, kStatusRead);
    tell(K::BytesReceived, 30);
    tell(K::BytesReceived, 40);
    tell(K::ReplyAccepted, 300, reply, MODBUS_READ_ACCEPTED);
    tell(K::RequestSent, 1000, password);
    tell(K::BytesReceived, 1020);
    tell(K::ReplyAccepted, 1250, password, MODBUS_PASSWORD_ACCEPTED);
    tell(K::PasswordAccepted, 1250, password, MODBUS_PASSWORD_ACCEPTED);
    // No byte of a reply: the request says so. Part of one: that part does.
    tell(K::RequestSent, 2000, kStatusRead);
    tell(K::Timeout, 4100);
    tell(K::RequestSent, 5000, kStatusRead);
    tell(K::BytesReceived, 5010);
    tell(K::Timeout, 7100, {0x01, 0x03});
    tell(K::BytesDiscarded, 7500, {0x34, 0x00}, 0, "stray input before a request");
    tell(K::RequestSent, 7500, kStatusRead);
    tell(K::BytesReceived, 7520);
    tell(K::ReplyRejected, 7800, exception, MODBUS_EXCEPTION_2);
    tell(K::RequestSent, 8000, kStatusRead);
    tell(K::BytesReceived, 8040);
    tell(K::ReplyRejected, 8300, damaged, MODBUS_BAD_CRC);
    tell(K::BytesDiscarded, 8300, {0xEE}, 0, "after the frame");
    // A request still awaiting its reply when the port fails.
    tell(K::RequestSent, 9000, kStatusRead);
    tell(K::PortFailed, 9050, {}, 0, "Com Read failed! ");
    tell(K::PortClosed, 9050, {}, 0, "read from the port failed");
    tell(K::PortOpened, 11000, {}, 0, "port opened again");
    tell(K::RequestSent, 12000, password);
    tell(K::BytesReceived, 12010);
    tell(K::ReplyAccepted, 12010, password, MODBUS_PASSWORD_ACCEPTED);
    // Opened again while open, then closed: nothing between them to end.
    tell(K::PortOpened, 13000, {}, 0, "port opened again");
    tell(K::PortClosed, 14000, {}, 0, "closed by the operator");

    const CaptureItems items = ReadCaptureItems(capture->lastMinutes());
    ASSERT_EQ(items.error, "");
    EXPECT_EQ(items.application, "drive-console 1.2.3");
    EXPECT_EQ(items.order, "I" + std::string(14, 'P') + "EIPPE");
    expectPackets(items.packets,
                  {
                      {at(0), Out, kStatusRead, ""},
                      {at(40), In, reply, "accepted"},
                      {at(1000), Out, password, ""},
                      {at(1020), In, password, "password echo"},
                      {at(2000), Out, kStatusRead, "time-out"},
                      {at(5000), Out, kStatusRead, ""},
                      {at(5010), In, {0x01, 0x03}, "time-out"},
                      {at(7500), In, {0x34, 0x00}, "not part of a frame: stray input before a request"},
                      {at(7500), Out, kStatusRead, ""},
                      {at(7520), In, exception, "rejected: exception 2"},
                      {at(8000), Out, kStatusRead, ""},
                      {at(8040), In, damaged, "rejected: CRC"},
                      {at(8300), In, {0xEE}, "not part of a frame: after the frame"},
                      {at(9000), Out, kStatusRead, ""},
                      {at(12000), Out, password, ""},
                      {at(12010), In, password, "password echo"},
                  });
    ASSERT_EQ(items.interfaces.size(), 2u);
    EXPECT_EQ(items.interfaces[0].name, "COM1");
    EXPECT_EQ(items.interfaces[1].name, "COM2");
    EXPECT_EQ(opened, 2) << "an interface is described at its first packet, not at each open";
    ASSERT_EQ(items.ends.size(), 2u);
    EXPECT_EQ(items.ends[0].timeUs, at(9050));
    EXPECT_EQ(items.ends[0].comment, "port failed: Com Read failed! (read from the port failed)");
    EXPECT_EQ(items.ends[1].timeUs, at(13000));
    EXPECT_EQ(items.ends[1].comment, "port opened again");
}

TEST_F(CaptureOfReports, AFileCaptureHoldsWhatCameAfterItsStart)
{
    using K = LineReportKind;
    const Bytes reply = testsupport::ReadReply(26, 1);
    tell(K::RequestSent, 0, kStatusRead);
    tell(K::ReplyAccepted, 10, reply, MODBUS_READ_ACCEPTED);
    const std::string path = testsupport::TestFilePath("after-start.pcapng");
    std::string error;
    ASSERT_TRUE(capture->start(path, &error)) << error;
    EXPECT_FALSE(capture->start(path, &error));
    EXPECT_EQ(error, "a capture is already running");
    tell(K::RequestSent, 100, kStatusRead);
    tell(K::ReplyAccepted, 110, reply, MODBUS_READ_ACCEPTED);
    tell(K::PortClosed, 200, {}, 0, "closed by the operator");
    capture->stop();
    EXPECT_FALSE(capture->capturing());
    EXPECT_EQ(capture->takeError(), "");
    EXPECT_EQ(capture->packetsWritten(), 2u);
    const CaptureItems items = testsupport::ReadCaptureFile(path);
    ASSERT_EQ(items.error, "");
    EXPECT_EQ(items.order, "IPPE") << "the interface open at the start comes first";
    EXPECT_EQ(items.interfaces[0].name, "COM1");
    EXPECT_EQ(items.packets[0].timeUs, at(100));

    // The last ten minutes, written whole or not at all.
    const std::string saved = testsupport::TestFilePath("last.pcapng");
    ASSERT_TRUE(capture->saveLast(saved, &error)) << error;
    EXPECT_EQ(testsupport::ReadCaptureFile(saved).order, "IPPPPE");
    const std::string nowhere = testsupport::TestFilePath("no-such-folder/last.pcapng");
    EXPECT_FALSE(capture->saveLast(nowhere, &error));
    EXPECT_EQ(error.rfind("cannot create " + nowhere + ": ", 0), 0u) << error;
    EXPECT_FALSE(capture->start(nowhere, &error));
    EXPECT_EQ(error.rfind("cannot create " + nowhere + ": ", 0), 0u) << error;
    std::remove(path.c_str());
    std::remove(saved.c_str());
}

TEST(CaptureOfPorts, TheInterfaceNamesThePortItsSettingsAndItsFraming)
{
    EXPECT_EQ(BitRateOf("COM4 /dev/ttyUSB0 19200 8O1"), 19200u);
    EXPECT_EQ(BitRateOf("COM4 115200 8N1"), 115200u);
    EXPECT_EQ(BitRateOf("COM4"), 0u);
    EXPECT_EQ(BitRateOf("COM4 /dev/ttyUSB0 fast 8O1"), 0u);
    EXPECT_EQ(BitRateOf("COM4 99999999999999999999 8O1"), 0u);
}
