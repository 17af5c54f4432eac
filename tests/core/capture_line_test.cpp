// A capture of sessions against the simulated controller over a
// pseudo-terminal: the password, the page reads, polling, a write, fault
// words on a timetable, an exception, a damaged reply and a dropped one, the
// port closed and opened again. The simulator's request log is the
// independent tap: the capture must hold exactly the frames it saw and sent,
// in order, with the directions and comments the tap implies; tshark must
// decode every frame as Modbus RTU with no malformed one. The 100 ms passes
// run on the stepped clock; line-rate polling runs on real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ems.h"
#include "engine/line_capture.h"
#include "modbus/line_events.h"
#include "modbus/modbus_crc.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "tests/support/capture_items.h"
#include "tests/support/sim_line.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::WaitFor;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr int kStatus = 2748;
constexpr int kStatusReplyLength = 5 + 2 * 26;
constexpr int kFirstPage = 2548;
constexpr int kOverVolt = 2550;
constexpr int kFaultWord = 2762;
constexpr int kPortPanel = testsupport::SimulatedLine::kPortPanel;
// How far apart the console's time of a request and the simulator's may be,
// and how much later than the simulator sent it the console may see a reply
// on the passes (the pass after), on the stepped clock. The two times are
// taken by different threads: on a loaded machine the clock may step on by a
// pass between a write and its stamp, so a request's time is checked to within
// one pass, a reply's to no earlier than a time slice before it was sent.
constexpr std::int64_t kSameMomentUs = 40000;
constexpr std::int64_t kOnePassUs = 105000;

struct Expected {
    CaptureDirection direction;
    Bytes bytes;
    std::string comment;
};

std::ostream& operator<<(std::ostream& os, const Expected& e)
{
    return os << (e.direction == CaptureDirection::Outbound ? "out " : "in ") << testsupport::ToHex(e.bytes)
              << " \"" << e.comment << "\"";
}

bool crcGood(const Bytes& frame)
{
    if (frame.size() < 4) return false;
    const int n = static_cast<int>(frame.size()) - 2;
    return modrtuChecksum(frame.data(), n) == (frame[static_cast<std::size_t>(n)] << 8 | frame.back());
}

// The packets the tap implies: each request, commented "time-out" when no
// reply went back; each reply as far as the frame goes, commented by what it
// is, without the console's parser; bytes after the frame (read off the
// line rate's frame length) as bytes of no frame.
std::vector<Expected> fromTap(const std::vector<sim::RequestRecord>& log)
{
    std::vector<Expected> out;
    for (const sim::RequestRecord& r : log) {
        out.push_back({CaptureDirection::Outbound, r.raw, r.reply.empty() ? "time-out" : ""});
        if (r.reply.empty()) continue;
        Bytes frame = r.reply;
        Bytes after;
        const bool exception = frame.size() >= 3 && (frame[1] & 0x80) != 0;
        const std::size_t length = exception         ? 5
                                   : r.function == 3 ? 5 + 2 * static_cast<std::size_t>(r.quantityOrValue)
                                                     : 8;
        if (frame.size() > length) {
            after.assign(frame.begin() + static_cast<long>(length), frame.end());
            frame.resize(length);
        }
        std::string comment = "accepted";
        if (exception) {
            comment = "rejected: exception " + std::to_string(frame[2]);
        } else if (!crcGood(frame)) {
            comment = "rejected: CRC";
        } else if (r.function == 6 && r.address == PASSWORD_REGISTER) {
            comment = "password echo";
        }
        out.push_back({CaptureDirection::Inbound, frame, comment});
        if (!after.empty())
            out.push_back({CaptureDirection::Inbound, after, "not part of a frame: after the frame"});
    }
    return out;
}

void expectTap(const std::vector<CapturePacket>& packets, const std::vector<Expected>& expected)
{
    ASSERT_EQ(packets.size(), expected.size());
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const Expected got{packets[i].direction, packets[i].bytes, packets[i].comment};
        EXPECT_TRUE(got.direction == expected[i].direction && got.bytes == expected[i].bytes &&
                    got.comment == expected[i].comment)
            << "packet " << i << ": " << got << ", the tap says " << expected[i];
    }
}

sim::Fault once(void (*set)(sim::Fault&))
{
    sim::Fault f;
    f.times = 1;
    set(f);
    return f;
}

class CapturedSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        path = testsupport::TestFilePath("session.pcapng");
    }
    void TearDown() override
    {
        line.stop();
        std::remove(path.c_str());
    }

    std::uint64_t statusReplies()
    {
        std::uint64_t n = 0;
        for (const auto& r : line.sim().requests()) n += r.address == kStatus && !r.reply.empty() ? 1 : 0;
        return n;
    }
    bool morePolls(std::uint64_t count)
    {
        const std::uint64_t until = statusReplies() + count;
        return WaitFor([&] { return statusReplies() >= until; }, 20000ms);
    }
    // Every request sent was taken by the simulator and the line is idle.
    bool quiet()
    {
        query_enable_flag = 0;
        return WaitFor(
            [&] {
                return com_idle.load() == 1 && ReadLinkCounters().requests == line.sim().requestCount() &&
                       !line.sim().traffic().busy;
            },
            10000ms);
    }

    testsupport::SimulatedLine line;
    std::string path;
};

}  // namespace

TEST_F(CapturedSession, HoldsExactlyTheFramesOnTheLineAndTsharkDecodesThem)
{
    testsupport::SteppedSimulator stepped(line.sim());
    sim::Simulator& sim = line.sim();
    LineCaptureOptions options;
    options.application = "drive-console test";
    LineCapture capture(TheLine(), options);
    std::string error;
    ASSERT_TRUE(capture.start(path, &error)) << error;

    // The first page read is refused with exception 2.
    sim.setFault(kFirstPage, once([](sim::Fault& f) { f.exceptionCode = 2; }));
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(morePolls(3));
    EXPECT_EQ(hci_commnication_enable_5927.load(), 1);
    // A dropped reply, then a damaged one.
    sim.setFault(kStatus, once([](sim::Fault& f) { f.silent = true; }));
    ASSERT_TRUE(WaitFor([] { return ReadLinkCounters().timeouts >= 1; }, 20000ms));
    sim.setFault(kStatus, once([](sim::Fault& f) { f.corruptCrc = true; }));
    ASSERT_TRUE(WaitFor([] { return ReadLinkCounters().crcErrors >= 1; }, 20000ms));
    // A write.
    dataItem1[2].value = 58.0;
    dataItem1[2].send_flag = 1;
    ASSERT_TRUE(WaitFor([&] { return sim.registerValue(kOverVolt) == 58; }, 10000ms));
    // Over-volt comes on for a second and a half (the simulator's time follows the passes).
    const std::int64_t t0 = sim.timeMs();
    ASSERT_TRUE(sim.schedule({{t0 + 500, kFaultWord, 0x0002}, {t0 + 2000, kFaultWord, 0}}));
    ASSERT_TRUE(WaitFor([&] { return sim.timeMs() > t0 + 2500; }, 20000ms));
    // The port closed and opened again.
    ASSERT_TRUE(quiet());
    line.close();
    query_enable_flag = 1;
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(morePolls(2));
    ASSERT_TRUE(quiet());
    line.stop();
    capture.stop();
    EXPECT_EQ(capture.takeError(), "");

    const testsupport::CaptureItems items = testsupport::ReadCaptureFile(path);
    ASSERT_EQ(items.error, "");
    EXPECT_EQ(items.application, "drive-console test");
    const std::vector<sim::RequestRecord> tap = sim.requests();
    expectTap(items.packets, fromTap(tap));
    EXPECT_EQ(capture.packetsWritten(), items.packets.size());
    // The scheduled fault was on the line: a status reply carries it.
    bool faultSeen = false;
    for (const CapturePacket& p : items.packets) {
        faultSeen =
            faultSeen || (p.bytes.size() == kStatusReplyLength && (p.bytes[3 + 2 * 14 + 1] & 0x02) != 0);
    }
    EXPECT_TRUE(faultSeen);

    // Two interfaces, the first ended by the operator's close.
    ASSERT_EQ(items.interfaces.size(), 2u);
    for (const CaptureInterface& i : items.interfaces) {
        EXPECT_EQ(i.name, "COM4 " + line.path() + " 19200 8O1");
        EXPECT_EQ(i.description, i.name + ", 100 ms passes");
        EXPECT_EQ(i.speed, 19200u);
    }
    ASSERT_EQ(items.ends.size(), 1u);
    EXPECT_EQ(items.ends[0].comment, "port closed: closed by the operator");
    EXPECT_EQ(items.order.find('E'), items.order.rfind('I') - 1);

    // Times: a request when the simulator took it, a reply no later than
    // the pass after the simulator sent it; never backwards.
    ASSERT_FALSE(items.packets.empty());
    // The two clocks' offset: the median over the requests, so that one late
    // stamp does not shift every other.
    std::vector<std::int64_t> offsets;
    for (std::size_t k = 0, i = 0; i < tap.size() && k < items.packets.size(); ++i) {
        offsets.push_back(items.packets[k].timeUs - tap[i].receivedMs * 1000);
        k += tap[i].reply.empty() ? 1 : 2;
    }
    std::nth_element(offsets.begin(), offsets.begin() + offsets.size() / 2, offsets.end());
    const std::int64_t offsetUs = offsets[offsets.size() / 2];
    std::size_t k = 0;
    for (const sim::RequestRecord& r : tap) {
        SCOPED_TRACE("request " + std::to_string(k));
        const CapturePacket& request = items.packets[k++];
        EXPECT_NEAR(static_cast<double>(request.timeUs - offsetUs), static_cast<double>(r.receivedMs * 1000),
                    kOnePassUs);
        if (r.reply.empty()) continue;
        const std::int64_t late = items.packets[k++].timeUs - offsetUs - r.repliedMs * 1000;
        EXPECT_GE(late, -kSameMomentUs);
        EXPECT_LE(late, kOnePassUs);
    }
    for (std::size_t i = 1; i < items.packets.size(); ++i)
        EXPECT_LE(items.packets[i - 1].timeUs, items.packets[i].timeUs);

    testsupport::ExpectTsharkDecodes(path, items.packets);
    // The last ten minutes hold the same session.
    const testsupport::CaptureItems last = testsupport::ReadCaptureItems(capture.lastMinutes());
    ASSERT_EQ(last.error, "");
    expectTap(last.packets, fromTap(tap));
}

// Line-rate polling cuts a reply at the length its request implies: what
// follows it on the line is captured as bytes of no frame.
TEST_F(CapturedSession, AtLineRateTheBytesAfterAFrameAreCapturedOnTheirOwn)
{
    line.ui().setInt(kPortPanel, uir::panel_com::FAST_LINE, 1);
    line.ui().setDouble(kPortPanel, uir::panel_com::FAST_LINE_TIMEOUT, 500.0);
    sim::Simulator& sim = line.sim();
    LineCapture capture(TheLine());
    std::string error;
    ASSERT_TRUE(capture.start(path, &error)) << error;
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(morePolls(5));
    sim.setFault(kStatus, once([](sim::Fault& f) { f.trailingBytes = 3; }));
    ASSERT_TRUE(morePolls(5));
    ASSERT_TRUE(quiet());
    line.stop();
    capture.stop();

    testsupport::CaptureItems items = testsupport::ReadCaptureFile(path);
    ASSERT_EQ(items.error, "");
    // Bytes that reach the port after the frame was taken are thrown away
    // before the next request instead: the same bytes at the same place.
    for (CapturePacket& p : items.packets) {
        if (p.comment == "not part of a frame: stray input before a request")
            p.comment = "not part of a frame: after the frame";
    }
    ASSERT_EQ(items.interfaces.size(), 1u);
    EXPECT_EQ(items.interfaces[0].description,
              items.interfaces[0].name + ", line rate, reply time-out 500 ms");
    const std::vector<Expected> expected = fromTap(sim.requests());
    int after = 0;
    for (const Expected& e : expected) after += e.comment == "not part of a frame: after the frame" ? 1 : 0;
    ASSERT_EQ(after, 1);
    expectTap(items.packets, expected);
    testsupport::ExpectTsharkDecodes(path, testsupport::ReadCaptureFile(path).packets);
}

// A disk that fills up while capturing: the capture stops with a message, the
// line goes on.
TEST_F(CapturedSession, AFileThatCannotBeWrittenStopsTheCaptureNotTheLine)
{
    const testsupport::FileSizeLimit full(2000);  // the header and a few packets
    ASSERT_TRUE(full.set());
    testsupport::SteppedSimulator stepped(line.sim());
    LineCapture capture(TheLine());
    std::string error;
    ASSERT_TRUE(capture.start(path, &error)) << error;
    ASSERT_TRUE(line.open());
    ASSERT_TRUE(WaitFor([&] { return !capture.capturing(); }, 30000ms));
    const std::string message = capture.takeError();
    EXPECT_EQ(message.rfind("Capture stopped: cannot write " + path + ": ", 0), 0u) << message;
    EXPECT_TRUE(capture.takeError().empty());
    EXPECT_TRUE(morePolls(3)) << "polling goes on";
    capture.stop();
}
