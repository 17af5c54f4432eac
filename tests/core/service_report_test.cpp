// The service report's builder on inputs made here: which replies of a
// capture are status, how the page draws faults that end in every way, and
// what never goes in.
#include "report/service_report.h"

#include <gtest/gtest.h>

#include <QDir>

#include "engine/status_text.h"
#include "modbus/capture_file.h"
#include "report/capture_report.h"
#include "tests/support/vectors.h"

namespace {

using testsupport::WithCrc;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const std::vector<unsigned char> kStatusRead = WithCrc({0x01, 0x03, 0x0A, 0xBC, 0x00, 0x1A});
const std::vector<unsigned char> kPageRead = WithCrc({0x01, 0x03, 0x09, 0xF4, 0x00, 0x0F});

// A status reply whose battery voltage word is `battery`, and its first fault word `faults`.
std::vector<unsigned char> statusReply(int battery, int faults = 0)
{
    std::vector<unsigned char> reply = {0x01, 0x03, 52};
    for (int i = 0; i < 26; ++i) {
        const int word = i == 1 ? battery : i == kFaultWordItem ? faults : 0;
        reply.push_back(static_cast<unsigned char>(word >> 8));
        reply.push_back(static_cast<unsigned char>(word & 0xFF));
    }
    return WithCrc(reply);
}

void add(CaptureEncoder& e, std::int64_t us, CaptureDirection d, const std::vector<unsigned char>& bytes,
         const char* comment)
{
    e.packet(0, us, d, bytes.data(), bytes.size(), comment);
}

TEST(ServiceReport, OnlyAcceptedRepliesToTheStatusReadAreStatus)
{
    CaptureEncoder e;
    e.section("drive-console");
    e.interface({"COM1 /dev/ttyUSB0 19200 8O1", "", 19200});
    const auto out = CaptureDirection::Outbound;
    const auto in = CaptureDirection::Inbound;
    add(e, 1000000, out, kStatusRead, "");
    add(e, 1040000, in, statusReply(100), "accepted");
    add(e, 1500000, out, kStatusRead, "time-out");
    add(e, 2000000, out, kStatusRead, "");
    add(e, 2040000, in, statusReply(101), "rejected: CRC");
    add(e, 2500000, out, kPageRead, "");
    add(e, 2540000, in, statusReply(102), "accepted");  // the length of a status reply, to a page read
    add(e, 3000000, out, kStatusRead, "");
    e.interfaceEnd(0, 3010000, "port closed");  // its reply never came on this port
    e.interface({"COM1 /dev/ttyUSB0 19200 8O1", "", 19200});
    add(e, 3040000, in, statusReply(103), "accepted");
    add(e, 4000000, out, kStatusRead, "");
    add(e, 4040000, in, statusReply(104), "accepted");

    const std::vector<CapturedStatus> status = StatusOfCapture(e.bytes());
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[0].wallMs, 1040);
    EXPECT_EQ(status[0].words[1], 100);
    EXPECT_EQ(status[1].wallMs, 4040);
    EXPECT_EQ(status[1].words[1], 104);

    // A capture cut short gives what came before the cut.
    std::vector<unsigned char> cut = e.bytes();
    cut.resize(cut.size() - 10);
    EXPECT_EQ(StatusOfCapture(cut).size(), 1u);
    EXPECT_TRUE(StatusOfCapture({}).empty());
}

// A report made from a capture: the line's counters from its packets, the
// faults of its status replies (the port's closing between two of them a
// loss, the page reads between them none), the parameters of its reads.
TEST(ServiceReport, TheReportOfACaptureCountsItsLineAndTellsItsFaultsAndParameters)
{
    std::vector<unsigned char> pageReply = {0x01, 0x03, 30};
    for (int i = 0; i < 15; ++i) {
        pageReply.push_back(0);
        pageReply.push_back(static_cast<unsigned char>(40 + i));
    }
    pageReply = WithCrc(pageReply);
    CaptureEncoder e;
    e.section("drive-console");
    e.interface({"COM3 /dev/ttyUSB0 19200 8O1", "COM3 /dev/ttyUSB0 19200 8O1, line rate", 19200});
    const auto out = CaptureDirection::Outbound;
    const auto in = CaptureDirection::Inbound;
    add(e, 1000000, out, kStatusRead, "");
    add(e, 1040000, in, statusReply(480, 0x0002), "accepted");  // fault 1 comes on
    add(e, 1500000, out, kStatusRead, "time-out");
    add(e, 2000000, out, kStatusRead, "");
    add(e, 2030000, in, statusReply(481), "rejected: CRC");
    add(e, 2500000, out, kPageRead, "");
    add(e, 2560000, in, WithCrc({0x01, 0x83, 0x02}), "rejected: exception 2");
    for (std::int64_t us = 3000000; us < 9000000; us += 1000000) {  // six seconds of page reads
        add(e, us, out, kPageRead, "");
        add(e, us + 60000, in, pageReply, "accepted");
    }
    e.interfaceEnd(0, 9500000, "port closed");
    e.interface({"COM3 /dev/ttyUSB0 19200 8O1", "", 19200});
    add(e, 10000000, out, kStatusRead, "");
    add(e, 10040000, in, statusReply(482), "accepted");

    const CaptureReport r = ReportFromCapture(e.bytes(), "9.9");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.statusReplies, 2u);
    const LinkCounters& c = r.inputs.link;
    EXPECT_EQ(c.requests, 11u);
    EXPECT_EQ(c.repliesOk, 8u);
    EXPECT_EQ(c.timeouts, 1u);
    EXPECT_EQ(c.crcErrors, 1u);
    EXPECT_EQ(c.exceptions, 1u);
    EXPECT_EQ(c.responses, 8u);
    EXPECT_EQ(c.responseMinUs, 40000);
    EXPECT_EQ(c.responseMaxUs, 60000);
    EXPECT_EQ(c.lastGoodReplyWallMs, 10040);
    EXPECT_EQ(r.inputs.madeWallMs, 10040);

    ASSERT_EQ(r.inputs.faults.size(), 2u);
    EXPECT_EQ(r.inputs.faults[0].kind, FaultEventKind::On);
    EXPECT_EQ(r.inputs.faults[0].bit, 1);
    EXPECT_EQ(r.inputs.faults[1].kind, FaultEventKind::Lost);
    EXPECT_EQ(r.inputs.faults[1].wallMs, 9500) << "lost at the port's closing, not in the page reads";

    ASSERT_TRUE(r.inputs.parametersRead);
    EXPECT_EQ(r.inputs.parameters.size(), 15u);
    EXPECT_EQ(r.inputs.parameters.at(2548), 40);
    EXPECT_EQ(r.inputs.parameters.at(2562), 54);
    EXPECT_EQ(r.inputs.about.comNumber, 3);
    EXPECT_EQ(r.inputs.about.device, "/dev/ttyUSB0");
    EXPECT_EQ(r.inputs.about.framing, "line rate");

    // Silent to its end while a fault is on: lost at the last reply.
    CaptureEncoder silent;
    silent.section("drive-console");
    silent.interface({"COM3 /dev/ttyUSB0 19200 8O1", "", 19200});
    add(silent, 1000000, out, kStatusRead, "");
    add(silent, 1040000, in, statusReply(480, 0x0002), "accepted");
    for (std::int64_t us = 1500000; us < 6000000; us += 500000) add(silent, us, out, kStatusRead, "time-out");
    const CaptureReport s = ReportFromCapture(silent.bytes(), "9.9");
    ASSERT_EQ(s.inputs.faults.size(), 2u);
    EXPECT_EQ(s.inputs.faults[1].kind, FaultEventKind::Lost);
    EXPECT_EQ(s.inputs.faults[1].wallMs, 1040);
    EXPECT_EQ(s.inputs.link.timeouts, 9u);

    // Cut short: what came before the cut, and why.
    std::vector<unsigned char> cut = e.bytes();
    cut.resize(cut.size() - 10);
    const CaptureReport short_ = ReportFromCapture(cut, "9.9");
    EXPECT_NE(short_.error, "");
    EXPECT_EQ(short_.statusReplies, 1u);
    EXPECT_FALSE(ReportFromCapture({}, "9.9").error.empty());
}

FaultEvent event(FaultEventKind kind, int bit, std::int64_t wallMs, std::int64_t onsetMs, bool first = false)
{
    FaultEvent e;
    e.kind = kind;
    e.bit = bit;
    e.wallMs = wallMs;
    e.onsetWallMs = onsetMs;
    e.first = first;
    e.durationS = static_cast<double>(wallMs - onsetMs) / 1000.0;
    return e;
}

TEST(ServiceReport, ThePageDrawsEveryFaultHoweverItEndedAndEscapesItsTexts)
{
    ReportInputs in;
    in.madeWallMs = 1765000060000;
    const std::int64_t t = in.madeWallMs - 60000;
    in.faults = {
        event(FaultEventKind::Off, 3, t + 5000, t - 2000),  // its ON went before the log
        event(FaultEventKind::On, 1, t + 10000, t + 10000, true),
        event(FaultEventKind::Lost, 1, t + 20000, t + 10000),
        event(FaultEventKind::On, 17, t + 30000, t + 30000, true),  // still on
    };
    WriteRecord w;
    w.what.panel = "bench <3>";
    w.what.caption = "Over volt";
    w.address = 2550;
    w.endedMs = t + 40000;
    w.outcome = WriteOutcome::NoReply;
    in.writes = {w};
    in.parametersProblem = "no reply from the controller";
    const std::string html = ReportHtml(in, {});

    for (int bit : {1, 3, 17}) EXPECT_TRUE(contains(html, "<title>" + FaultCaption(bit) + ": ON ")) << bit;
    EXPECT_TRUE(contains(html, FaultCaption(1) + ": ON ") && contains(html, ", lost, first-out</title>"));
    EXPECT_TRUE(contains(html, ", still on, first-out</title>"));
    EXPECT_TRUE(contains(html, ">lost</text>"));
    EXPECT_TRUE(contains(html, "bench &lt;3&gt;"));
    EXPECT_FALSE(contains(html, "bench <3>"));
    EXPECT_TRUE(contains(html, "The parameters could not be read: no reply from the controller."));
    EXPECT_TRUE(contains(html, "No status reply in the last ten minutes"));
    EXPECT_EQ(html.find("<svg class=\"plot\""), std::string::npos) << "nothing to plot";

    // No parameters read: no parameters.json; every other member is there.
    const std::map<std::string, QByteArray> members = ReportMembers(in);
    EXPECT_EQ(members.count("parameters.json"), 0u);
    for (const char* name : {"report.html", "faults.csv", "writes.csv", "status.csv", "capture.pcapng",
                             "link.json", "about.json"})
        EXPECT_EQ(members.count(name), 1u) << name;
    EXPECT_EQ(members.at("faults.csv").count('\n'), 5) << "the header and four events";
}

TEST(ServiceReport, ADeviceInTheHomeFolderIsWrittenFromTilde)
{
    const std::string home = QDir::homePath().toStdString();
    const ReportAbout a = DescribeConsole("1.0.0", home + "/lines/bench.pcapng");
    EXPECT_EQ(a.device, "~/lines/bench.pcapng");
    EXPECT_EQ(a.version, "1.0.0");
    EXPECT_FALSE(a.system.empty());
    EXPECT_EQ(DescribeConsole("1.0.0", "tcp://bench-pi:2000").networkAddress, "tcp://bench-pi:2000");
}

}  // namespace
