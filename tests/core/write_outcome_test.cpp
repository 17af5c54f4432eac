// What becomes of a write pressed on a send button: the console's whole
// communication path against the simulated controller over a pseudo-terminal,
// with faults injected per register, and the record each write ends with.
#include "modbus/write_outcome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/ems.h"
#include "engine/write_journal.h"
#include "modbus/modbus.h"
#include "model/app_state.h"
#include "model/data_item.h"
#include "model/uir_ids.h"
#include "pages/page_callbacks.h"
#include "pages/sample5.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/port/serial.h"
#include "serial/rs232.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

using namespace std::chrono_literals;
using testsupport::WaitFor;

namespace {

using testsupport::kSetPanel;
constexpr int kPage1 = testsupport::kPagePanel;
constexpr int kOverVolt = 2550;  // page 1, item 2: "Over volt", V

class WriteOutcomes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.started()) << line.error();
        // The log on real time: a held request's wait is measured on it.
        sim.setStampClock(nullptr);
        ResetWriteTracking();
        panel_set = kSetPanel;
        for (int i = 0; i < 6; ++i) panel_set_tab[i] = kPage1 + i;
        // The journal observes first, so that a record seen here is already queued there.
        std::remove((ConsoleStateDir() + "/writes.csv").c_str());
        journal = std::make_unique<WriteJournal>(ConsoleStateDir(), [this](const std::string& m) {
            std::lock_guard<std::mutex> lock(mutex);
            journalErrors.push_back(m);
        });
        token = AddWriteObserver([this](const WriteRecord& r) {
            std::lock_guard<std::mutex> lock(mutex);
            ended.push_back(r);
        });
    }

    void TearDown() override
    {
        line.stop();
        RemoveWriteObserver(token);
        journal.reset();
    }

    // The journal's lines so far, each split into its columns.
    std::vector<std::vector<std::string>> journalLines()
    {
        journal->drain();
        return testsupport::ReadCsv(journal->path());
    }

    // Expects the journal to hold the header and then one line per record.
    void expectJournal(const std::vector<std::vector<std::string>>& expected)
    {
        const auto lines = journalLines();
        ASSERT_EQ(lines.size(), expected.size() + 1);
        std::string header;
        for (const auto& c : lines[0]) header += (header.empty() ? "" : ",") + c;
        EXPECT_EQ(header, kWriteJournalHeader);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(lines[i + 1].size(), 11u) << i;
            // The time: local ISO 8601 with milliseconds and offset.
            EXPECT_EQ(lines[i + 1][0].size(), std::string("2026-12-08T14:02:11.123+01:00").size());
            const std::vector<std::string> rest(lines[i + 1].begin() + 1, lines[i + 1].end() - 1);
            EXPECT_EQ(rest, expected[i]) << i;
            EXPECT_EQ(lines[i + 1][10], line.path()) << "the device the write was for";
        }
    }

    // Opens the port and waits until every page has been read once.
    void connect()
    {
        ASSERT_TRUE(line.open());
        ASSERT_TRUE(WaitFor(
            [] { return hci_commnication_enable_5927.load() == 1 && dataItem6[0].query_flag.load() == 0; },
            10000ms));
    }

    // Types `value` into the "Over volt" control and presses its "__OK".
    void pressOverVolt(double value)
    {
        ui.setDouble(kPage1, uir::tabpanel_1::TAB1_NUMERIC_SET_3, value);
        fire("tab1_send_3");
    }

    static void fire(const char* name)
    {
        int count = 0;
        const CallbackEntry* e = PageCallbacks(&count);
        for (int i = 0; i < count; ++i) {
            if (std::strcmp(e[i].name, name) == 0) e[i].control(0, 0, EVENT_COMMIT, e[i].callbackData, 0, 0);
        }
    }

    // Waits until `n` records have ended and returns them.
    std::vector<WriteRecord> waitEnded(std::size_t n, std::chrono::milliseconds timeout = 8000ms)
    {
        WaitFor(
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                return ended.size() >= n;
            },
            timeout);
        std::lock_guard<std::mutex> lock(mutex);
        return ended;
    }

    // Waits until a request to `address` has gone unanswered for 300 ms: the
    // one held back by a delay fault, with most of the delay still to run.
    // The delay runs on real time (the simulator's log too), and the stepped
    // line waits for it.
    bool waitForHeldRequest(int address)
    {
        return WaitFor(
            [&] {
                const auto log = sim.requests();
                const std::int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                               std::chrono::steady_clock::now().time_since_epoch())
                                               .count();
                return !log.empty() && log.back().address == address && log.back().repliedMs < 0 &&
                       nowMs - log.back().receivedMs > 300;
            },
            4000ms);
    }

    std::vector<sim::RequestRecord> writesTo(int address) const
    {
        std::vector<sim::RequestRecord> out;
        for (const auto& r : sim.requests()) {
            if (r.function == 6 && r.address == address) out.push_back(r);
        }
        return out;
    }

    testsupport::SimulatedLine line{testsupport::LineClock::Stepped};
    sim::Simulator& sim = line.sim();
    testsupport::RecordingUi& ui = line.ui();
    int token = 0;
    std::mutex mutex;
    std::vector<WriteRecord> ended;
    std::unique_ptr<WriteJournal> journal;
    std::vector<std::string> journalErrors;
};

}  // namespace

TEST_F(WriteOutcomes, ConfirmedWriteIsReadBackAndShown)
{
    connect();
    sim.clearRequests();
    pressOverVolt(58);
    const auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    const WriteRecord& r = records[0];
    EXPECT_EQ(r.outcome, WriteOutcome::Confirmed);
    EXPECT_TRUE(r.readBack);
    EXPECT_EQ(r.heldWord, 58);
    EXPECT_EQ(r.address, kOverVolt);
    EXPECT_EQ(r.what.panel, "PARAMETER SET");
    EXPECT_EQ(r.what.page, "BASIC");
    EXPECT_EQ(r.summary(), "Over volt = 58 V confirmed");
    EXPECT_TRUE(r.good());
    // The page was read again after the echo, and the control gets its value.
    const auto log = sim.requests();
    const auto w = std::find_if(log.begin(), log.end(), [](const auto& q) { return q.function == 6; });
    ASSERT_NE(w, log.end());
    EXPECT_TRUE(
        std::any_of(w, log.end(), [](const auto& q) { return q.function == 3 && q.address == 2548; }));
    EXPECT_EQ(dataItem1[2].value.load(), 58.0);
    WriteRecord latest;
    ASSERT_TRUE(LatestWrite(kOverVolt, &latest));
    EXPECT_EQ(latest.id, r.id);
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A", "confirmed", ""}});
}

TEST_F(WriteOutcomes, ClampedValueIsReportedWithWhatTheControllerHolds)
{
    connect();
    sim::Fault clamp;
    clamp.holdValue = 55;
    sim.setFault(kOverVolt, clamp);
    pressOverVolt(58);
    const auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, WriteOutcome::Confirmed);
    EXPECT_TRUE(records[0].heldDiffers());
    EXPECT_FALSE(records[0].good());
    EXPECT_EQ(records[0].summary(), "Over volt = 58 V written; controller holds 55 V");
    EXPECT_EQ(records[0].detail, "controller holds 55 V");
    EXPECT_TRUE(WaitFor([] { return dataItem1[2].value.load() == 55.0; }, 2000ms));
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A", "confirmed",
                    "controller holds 55 V"}});
}

struct FailureCase {
    const char* name;
    sim::Fault fault;
    WriteOutcome outcome;
    const char* summary;
    const char* journalDetail;
};

class WriteFailures : public WriteOutcomes, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WriteFailures, EndNotConfirmedWithTheirCause)
{
    connect();
    sim.setFault(kOverVolt, GetParam().fault);
    pressOverVolt(58);
    const auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, GetParam().outcome);
    EXPECT_EQ(records[0].summary(), GetParam().summary);
    EXPECT_FALSE(records[0].good());
    EXPECT_EQ(writesTo(kOverVolt).size(), 1u) << "a failed write is not repeated";
    // The page is read again, so the control shows what the controller holds.
    EXPECT_TRUE(WaitFor([&] { return dataItem1[2].value.load() == sim.registerValue(kOverVolt); }, 4000ms));
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A",
                    WriteOutcomeName(GetParam().outcome), GetParam().journalDetail}});
}

sim::Fault silent()
{
    sim::Fault f;
    f.silent = true;
    f.times = 1;
    return f;
}
sim::Fault exception(int code)
{
    sim::Fault f;
    f.exceptionCode = code;
    f.times = 1;
    return f;
}
sim::Fault echo(int value)
{
    sim::Fault f;
    f.echoValue = value;
    f.times = 1;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFailures,
    ::testing::Values(
        FailureCase{"NoReply", silent(), WriteOutcome::NoReply, "Over volt = 58 V NOT confirmed: no reply",
                    ""},
        FailureCase{"Rejected", exception(3), WriteOutcome::Rejected,
                    "Over volt = 58 V NOT confirmed: rejected, exception 3 (illegal data value)",
                    "exception 3 (illegal data value)"},
        FailureCase{"EchoDiffers", echo(57), WriteOutcome::EchoDiffers,
                    "Over volt = 58 V NOT confirmed: echo differs, echo says register 2550 = 57",
                    "echo says register 2550 = 57"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriteOutcomes, PressedTwiceBeforeItGoesOutOnlyTheLastValueIsWritten)
{
    connect();
    // Hold the line: the status read in progress is answered late.
    sim::Fault slow;
    slow.delayMs = 1500;
    slow.times = 1;
    sim.setFault(2748, slow);
    ASSERT_TRUE(waitForHeldRequest(2748));
    sim.clearRequests();
    pressOverVolt(58);
    pressOverVolt(59);
    const auto records = waitEnded(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].outcome, WriteOutcome::Superseded);
    EXPECT_EQ(records[0].word, 58);
    EXPECT_EQ(records[1].outcome, WriteOutcome::Confirmed);
    EXPECT_EQ(records[1].word, 59);
    const auto writes = writesTo(kOverVolt);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].quantityOrValue, 59);
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A", "superseded",
                    "pressed again before it went out"},
                   {"PARAMETER SET", "BASIC", "Over volt", "2550", "59", "V", "0x003B", "confirmed", ""}});
}

TEST_F(WriteOutcomes, PortClosedBeforeTheWriteWentOutNothingIsWrittenLater)
{
    connect();
    sim::Fault slow;
    slow.delayMs = 1500;
    slow.times = 1;
    sim.setFault(2748, slow);
    ASSERT_TRUE(waitForHeldRequest(2748));
    pressOverVolt(58);
    line.close();
    auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, WriteOutcome::PortClosed);
    EXPECT_EQ(records[0].summary(), "Over volt = 58 V NOT confirmed: port closed, closed by the operator");
    // Pressed while closed: ends at once.
    pressOverVolt(60);
    records = waitEnded(2, 1000ms);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].outcome, WriteOutcome::PortClosed);
    // Opened again: neither value is written.
    line.configure();
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 0; }, 10000ms));
    EXPECT_TRUE(writesTo(kOverVolt).empty());
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A", "port closed",
                    "closed by the operator"},
                   {"PARAMETER SET", "BASIC", "Over volt", "2550", "60", "V", "0x003C", "port closed",
                    "port not open"}});
}

TEST_F(WriteOutcomes, UnwritableJournalIsReportedUntilItWorksAgainAndLosesNoLine)
{
    // A file stands where the journal's folder would have to be made.
    ASSERT_TRUE(MakeFolder(ConsoleStateDir(), nullptr));
    const std::string file = ConsoleStateDir() + "/not-a-folder";
    std::filesystem::remove_all(file);  // the folder an earlier run of this case made there
    std::ofstream(file) << "x";
    const std::string blocked = file + "/journal";
    journal = std::make_unique<WriteJournal>(blocked, [this](const std::string& m) {
        std::lock_guard<std::mutex> lock(mutex);
        journalErrors.push_back(m);
    });
    connect();
    pressOverVolt(58);
    ASSERT_EQ(waitEnded(1).size(), 1u);
    pressOverVolt(59);
    ASSERT_EQ(waitEnded(2).size(), 2u);
    // The journal hears of an ended write on its own, maybe after this test does.
    EXPECT_TRUE(WaitFor(
        [this] {
            journal->drain();
            return journal->unwritten() >= 2u;
        },
        5000ms));
    EXPECT_EQ(sim.registerValue(kOverVolt), 59);
    EXPECT_EQ(ended[1].outcome, WriteOutcome::Confirmed);
    EXPECT_EQ(journal->unwritten(), 2u);
    {
        std::lock_guard<std::mutex> lock(mutex);
        ASSERT_EQ(journalErrors.size(), 1u) << "told once, not once per line";
        EXPECT_EQ(journalErrors[0].rfind("Journal not written: " + blocked + "/writes.csv: ", 0), 0u)
            << journalErrors[0];
    }
    // The folder can be made again: the next write brings the two kept lines with it.
    std::remove(file.c_str());
    pressOverVolt(60);
    ASSERT_EQ(waitEnded(3).size(), 3u);
    const auto lines = journalLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1][5], "58");
    EXPECT_EQ(lines[2][5], "59");
    EXPECT_EQ(lines[3][5], "60");
    EXPECT_EQ(journal->unwritten(), 0u);
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(journalErrors.size(), 2u);
    EXPECT_EQ(journalErrors[1], "") << "working again";
}

TEST_F(WriteOutcomes, WriteOnTheLineWhenThePortFailsEndsUnknown)
{
    connect();
    sim::Fault slow;
    slow.delayMs = 1500;
    slow.times = 1;
    sim.setFault(kOverVolt, slow);
    pressOverVolt(58);
    ASSERT_TRUE(waitForHeldRequest(kOverVolt));
    sim.stop();  // the controller's side goes before the echo: the port fails
    const auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, WriteOutcome::Unknown);
    EXPECT_EQ(records[0].summary(),
              "Over volt = 58 V NOT confirmed: unknown, sent; port closed before the echo");
    EXPECT_FALSE(records[0].good());
    expectJournal({{"PARAMETER SET", "BASIC", "Over volt", "2550", "58", "V", "0x003A", "unknown",
                    "sent; port closed before the echo"}});
}

// --- The faults this path had --------------------------------------------------

TEST_F(WriteOutcomes, PressWhileThePageReadIsAwaitedWritesTheTypedValue)
{
    connect();
    const int before = sim.registerValue(kOverVolt);
    ASSERT_NE(before, 58);
    sim::Fault slow;
    slow.delayMs = 1500;
    slow.times = 1;
    sim.setFault(2548, slow);
    dataItem1[0].query_flag = 1;  // as a tab change does
    ASSERT_TRUE(waitForHeldRequest(2548));
    pressOverVolt(58);
    ASSERT_TRUE(WaitFor([&] { return !writesTo(kOverVolt).empty(); }, 5000ms));
    EXPECT_EQ(writesTo(kOverVolt)[0].quantityOrValue, 58);
    const auto records = waitEnded(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, WriteOutcome::Confirmed);
    EXPECT_EQ(sim.registerValue(kOverVolt), 58);
}

TEST_F(WriteOutcomes, ReopenWithThePasswordAcceptedReadsEveryPageAgain)
{
    connect();
    // Close with the line idle, so that the first pass after opening again
    // finds it free.
    query_enable_flag = 0;
    ASSERT_TRUE(WaitFor([] { return com_idle.load() == 1; }, 3000ms));
    line.close();
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 1; }, 2000ms));
    query_enable_flag = 1;
    // Another controller, as it were: every parameter changes while closed.
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i)
            sim.setRegister(t.first_register + i, static_cast<std::uint16_t>(7 + i));
    }
    sim.clearRequests();
    line.configure();
    // Page 6 is read last; its query mark is cleared when the read goes out.
    ASSERT_TRUE(WaitFor([] { return dataItem6[0].query_flag.load() == 0; }, 10000ms));
    WaitFor([] { return dataItem6[14].value.load() == 7.0 + 14; }, 2000ms);
    for (const ItemTable& t : kPageTables) {
        for (int i = 0; i < t.count; ++i) {
            EXPECT_EQ(t.items[i].value.load(), 7.0 + i) << "register " << t.first_register + i;
        }
    }
    // Every page read was answered with its own reply (the status read after
    // them may still be on its way).
    for (const auto& r : sim.requests()) {
        if (r.function == 3 && r.address != kStatusTable.first_register) {
            EXPECT_GE(r.repliedMs, 0) << r.address;
        }
    }
}
