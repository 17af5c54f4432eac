// A working day on the stepped clock: the engine, as the command line runs it
// (no widgets), polls the simulated controller over a pseudo-terminal on a
// faulty line for HOURS of simulated time, with a parameter write every
// simulated minute and the fault words switched every ten minutes, and then
// reports what came of it. Run by bench/soak_bench.sh.
//
//   soak_driver HOURS STATE_DIR [FAULTY_EVERY]
//
// The console's clock moves on with the passes of the communication thread,
// each as soon as the simulator has answered (tests/support/stepped_clock.h),
// so a simulated day takes minutes. The writes, the fault feed and the memory
// samples run as timers of that clock, between the passes.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/command_port.h"
#include "engine/console_state.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "engine/fault_tracker.h"
#include "engine/traffic_decode.h"
#include "engine/write_journal.h"
#include "modbus/line_events.h"
#include "modbus/line_state.h"
#include "modbus/write_outcome.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "pages/send_rows.h"
#include "platform/os/clock.h"
#include "serial/line_machine.h"
#include "tests/support/stepped_simulator.h"
#include "tools/sim/simulator.h"

namespace {

constexpr std::int64_t kMinuteMs = std::int64_t{60} * 1000;
constexpr std::int64_t kHourMs = 60 * kMinuteMs;
constexpr std::int64_t kToggleMs = 10 * kMinuteMs;
constexpr int kPumpMs = 500;
constexpr int kFirstFaultWord = 2762;
constexpr int kOutcomes = 7;  // WriteOutcome's values

struct Sample {
    double simHours;
    double rssMiB;
    double realS;
};

struct Seen {
    FaultEventKind kind;
    int bit;
    std::int64_t clockMs;
    bool first;
};

struct Toggle {
    std::int64_t clockMs;  // when the simulator switches, on the console's clock
    bool on;
    int bit;
};

class Collector : public FaultObserver {
public:
    void faultEvent(const FaultEvent& e) override
    {
        events.push_back({e.kind, e.bit, e.clockUs / 1000, e.first});
    }
    std::vector<Seen> events;
};

// The time between accepted status replies, and whether a reply time-out
// fell between them; on the line's thread.
class StatusGaps {
public:
    void take(const LineReport& r)
    {
        if (r.kind == LineReportKind::Timeout) timedOut_ = true;
        std::int16_t words[DATAITEMOR_COUNT];
        if (r.kind != LineReportKind::ReplyAccepted ||
            !StatusReplyWords(r.request, kRequestLength, r.bytes, r.length, words))
            return;
        const std::int64_t now = ClockUs();
        if (lastUs_ >= 0) {
            const std::int64_t gap = now - lastUs_;
            maxUs = std::max(maxUs, gap);
            if (gap > kStaleMs * 1000) {
                ++overStale;
                if (timedOut_) ++overStaleAfterTimeout;
            }
        }
        timedOut_ = false;
        lastUs_ = now;
    }
    std::int64_t maxUs = 0;
    std::uint64_t overStale = 0;
    std::uint64_t overStaleAfterTimeout = 0;

private:
    static constexpr int kRequestLength = 8;
    std::int64_t lastUs_ = -1;
    bool timedOut_ = false;
};

double RssMiB()
{
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Least-squares slope of y over x.
double Slope(const std::vector<Sample>& s, std::size_t from)
{
    if (s.size() < from + 2) return 0.0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(s.size() - from);
    for (std::size_t i = from; i < s.size(); ++i) {
        sx += s[i].simHours;
        sy += s[i].rssMiB;
        sxx += s[i].simHours * s[i].simHours;
        sxy += s[i].simHours * s[i].rssMiB;
    }
    const double d = n * sxx - sx * sx;
    return d != 0 ? (n * sxy - sx * sy) / d : 0.0;
}

// The fields of one CSV line (quotes undone); a line break inside quotes is
// not expected in these journals.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                out.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

// The data rows of a journal (its header left out).
std::vector<std::vector<std::string>> Rows(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (header) {
            header = false;
            continue;
        }
        rows.push_back(Fields(line));
    }
    return rows;
}

// A whole number of the command line; -1 for anything else.
long Number(const char* text)
{
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return end != text && *end == '\0' ? n : -1;
}

// The first "__OK" row of the parameter pages that sends its entry as it is.
const SendRow* WrittenRow()
{
    std::size_t count = 0;
    const SendRow* rows = SendRows(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i].panel == RegisterPanel::Set && rows[i].kind == SendKind::Direct) return &rows[i];
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: soak_driver HOURS STATE_DIR [FAULTY_EVERY]\n");
        return 2;
    }
    const long hours = Number(argv[1]);
    const std::string state = argv[2];
    const long faultyEvery = argc > 3 ? Number(argv[3]) : 7;
    if (hours < 1 || hours > 744 || faultyEvery < 0) {
        std::fprintf(stderr, "soak_driver: HOURS 1 .. 744, FAULTY_EVERY 0 or more\n");
        return 2;
    }
    const auto realStart = std::chrono::steady_clock::now();
    const auto realS = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    };

    ResetConsoleState();
    sim::Simulator sim;
    sim.setFaultyLine(static_cast<int>(faultyEvery));
    const std::string path = sim.start();
    if (path.empty()) {
        std::fprintf(stderr, "soak_driver: the simulator did not start: %s\n", sim.error().c_str());
        return 1;
    }
    testsupport::SteppedSimulator stepped(sim);
    testsupport::SteppedClock& clock = stepped.clock();
    const std::int64_t startMs = ClockMs();
    const std::int64_t simOffsetMs = sim.timeMs() - startMs;
    const std::int64_t endMs = startMs + hours * kHourMs;

    // The fault words: all clear, then every ten minutes one bit on (a
    // different one each time, round the 48) or off again, half a minute
    // after a write: a switch that comes with a write is seen only after the
    // write, its echo and the read-back of its page.
    std::vector<sim::ScheduleStep> steps;
    std::vector<Toggle> toggles;
    steps.reserve(static_cast<std::size_t>(hours * 6 + kFaultWordCount));
    toggles.reserve(static_cast<std::size_t>(hours * 6));
    for (int w = 0; w < kFaultWordCount; ++w)
        steps.push_back({startMs + simOffsetMs, kFirstFaultWord + w, 0});
    for (std::int64_t t = kToggleMs + kMinuteMs / 2, k = 0; t < hours * kHourMs; t += kToggleMs, ++k) {
        const int bit = static_cast<int>((k / 2) % kFaultBitCount);
        const bool on = k % 2 == 0;
        steps.push_back({startMs + t + simOffsetMs, kFirstFaultWord + bit / 16,
                         static_cast<std::uint16_t>(on ? 1u << (bit % 16) : 0u)});
        toggles.push_back({startMs + t, on, bit});
    }
    if (!sim.schedule(steps)) {
        std::fprintf(stderr, "soak_driver: the timetable was refused\n");
        return 1;
    }

    FaultTracker tracker;
    Collector collected;
    FaultJournal faultJournal(state + "/faults.csv", [](const std::string& m) {
        if (!m.empty()) std::fprintf(stderr, "soak_driver: %s\n", m.c_str());
    });
    tracker.addObserver(&collected);
    tracker.addObserver(&faultJournal);
    FaultFeed feed(tracker, TheLine().observers());
    StatusGaps gaps;
    const int gapToken = TheLine().observers().add([&gaps](const LineReport& r) { gaps.take(r); });
    WriteJournal writeJournal(state, [](const std::string& m) {
        if (!m.empty()) std::fprintf(stderr, "soak_driver: %s\n", m.c_str());
    });
    std::array<std::atomic<std::uint64_t>, kOutcomes> outcomes{};
    std::atomic<std::uint64_t> ended{0};
    const int observer = AddWriteObserver([&](const WriteRecord& r) {
        ++outcomes[static_cast<std::size_t>(r.outcome)];
        ++ended;
    });

    std::mutex samplesMutex;
    std::vector<Sample> samples{{0.0, RssMiB(), realS()}};
    std::uint64_t submitted = 0;  // the stepping thread's own until it stops

    {
        CommandPortOptions options;
        options.device = path;
        const CommandPort port(options, CommandReads::Status);
        if (!port.open()) {
            std::fprintf(stderr, "soak_driver: cannot open %s\n", path.c_str());
            return 1;
        }
        const SendRow* row = WrittenRow();
        if (row == nullptr) {
            std::fprintf(stderr, "soak_driver: no parameter to write\n");
            return 1;
        }
        DataItem& item = row->table[row->index];
        clock.every(static_cast<int>(kMinuteMs), [&] {
            const double value = 10.0 + static_cast<double>(submitted % 2);
            SubmitWrite(item, value, DescribeSendRow(*row, value), PortOpen());
            ++submitted;
        });
        clock.every(kPumpMs, [&] { feed.pump(); });
        clock.every(static_cast<int>(kHourMs), [&] {
            const Sample s{static_cast<double>(ClockMs() - startMs) / kHourMs, RssMiB(), realS()};
            const LinkCounters c = ReadLinkCounters();
            std::fprintf(stderr, "hour %2.0f: %llu exchanges, %.1f MiB resident, %.0f s real\n", s.simHours,
                         static_cast<unsigned long long>(c.requests), s.rssMiB, s.realS);
            std::lock_guard<std::mutex> lock(samplesMutex);
            samples.push_back(s);
        });
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(samplesMutex);
                if (samples.size() > static_cast<std::size_t>(hours)) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        clock.stopTimers();
    }
    // The port is closed and the communication thread has ended: what the
    // line reported last, and every write's outcome, reach the journals.
    feed.pump();
    writeJournal.drain();
    faultJournal.drain();
    RemoveWriteObserver(observer);
    TheLine().observers().remove(gapToken);
    const double tookS = realS();
    const double simulatedH = static_cast<double>(ClockMs() - startMs) / kHourMs;

    const LinkCounters c = ReadLinkCounters();
    const sim::Simulator::Tally t = sim.tally();
    std::printf("simulated %.2f h in %.0f s of real time (%.0f x), faulty line: 1 reply in %ld lost\n",
                simulatedH, tookS, simulatedH * 3600 / tookS, faultyEvery);

    std::printf("\nexchanges: %llu requests (%llu password writes)\n",
                static_cast<unsigned long long>(c.requests),
                static_cast<unsigned long long>(c.passwordWrites));
    std::printf("  %-28s %10s %10s\n", "", "console", "simulator");
    const auto row = [](const char* what, std::uint64_t console, std::uint64_t simulator) {
        std::printf("  %-28s %10llu %10llu%s\n", what, static_cast<unsigned long long>(console),
                    static_cast<unsigned long long>(simulator), console == simulator ? "" : "  (differ)");
    };
    row("requests", c.requests, t.requests);
    row("replies accepted", c.repliesOk, t.replies - t.damagedCrc);
    row("no reply (time-outs)", c.timeouts, t.silent);
    row("bad CRC", c.crcErrors, t.damagedCrc);
    std::printf("  %-28s %10llu\n", "exceptions", static_cast<unsigned long long>(c.exceptions));
    std::printf("  %-28s %10llu\n", "other rejects", static_cast<unsigned long long>(c.otherRejects));
    std::printf("  %-28s %10llu\n", "port errors", static_cast<unsigned long long>(c.portErrors));
    const std::uint64_t answered = c.repliesOk + c.timeouts + c.crcErrors + c.exceptions + c.otherRejects;
    if (answered < c.requests) {
        std::printf("  %llu request(s) still awaiting a reply when the port closed\n",
                    static_cast<unsigned long long>(c.requests - answered));
    }
    std::printf(
        "  status replies: at most %.2f s apart; %llu gaps of more than %.0f s (%llu with a time-out in "
        "them)\n",
        static_cast<double>(gaps.maxUs) / 1e6, static_cast<unsigned long long>(gaps.overStale),
        static_cast<double>(kStaleMs) / 1000, static_cast<unsigned long long>(gaps.overStaleAfterTimeout));

    const std::vector<std::vector<std::string>> writeRows = Rows(writeJournal.path());
    std::printf("\nwrites: %llu submitted, %llu ended with an outcome, %zu journal lines (%zu unwritten)\n",
                static_cast<unsigned long long>(submitted), static_cast<unsigned long long>(ended.load()),
                writeRows.size(), writeJournal.unwritten());
    for (int o = 0; o < kOutcomes; ++o) {
        const auto outcome = static_cast<WriteOutcome>(o);
        const std::size_t lines =
            static_cast<std::size_t>(std::count_if(writeRows.begin(), writeRows.end(), [&](const auto& f) {
                return f.size() > 8 && f[8] == WriteOutcomeName(outcome);
            }));
        if (outcomes[static_cast<std::size_t>(o)].load() == 0 && lines == 0) continue;
        std::printf("  %-14s %6llu (journal %zu)\n", WriteOutcomeName(outcome),
                    static_cast<unsigned long long>(outcomes[static_cast<std::size_t>(o)].load()), lines);
    }
    const bool writesWhole = ended.load() == submitted && writeRows.size() == submitted;
    std::printf("  none lost: %s\n", writesWhole ? "yes" : "NO");

    // Each switch of the timetable against the first event of its kind and
    // bit that came after it and before the next switch.
    std::size_t expectedOn = 0, expectedOff = 0, matched = 0, firstOut = 0;
    std::int64_t maxLateMs = 0, sumLateMs = 0;
    std::size_t seenOn = 0, seenOff = 0, seenLost = 0, onAgain = 0;
    std::array<bool, kFaultBitCount> lostBit{};
    for (const Seen& e : collected.events) {
        seenOn += e.kind == FaultEventKind::On;
        seenOff += e.kind == FaultEventKind::Off;
        seenLost += e.kind == FaultEventKind::Lost;
        bool& lost = lostBit[static_cast<std::size_t>(e.bit)];
        if (e.kind == FaultEventKind::On && lost) ++onAgain;
        lost = e.kind == FaultEventKind::Lost;
    }
    for (std::size_t i = 0; i < toggles.size(); ++i) {
        const Toggle& s = toggles[i];
        (s.on ? expectedOn : expectedOff) += 1;
        const std::int64_t until = i + 1 < toggles.size() ? toggles[i + 1].clockMs : endMs + kToggleMs;
        const FaultEventKind kind = s.on ? FaultEventKind::On : FaultEventKind::Off;
        const auto e = std::find_if(collected.events.begin(), collected.events.end(), [&](const Seen& x) {
            return x.kind == kind && x.bit == s.bit && x.clockMs >= s.clockMs && x.clockMs < until;
        });
        if (e == collected.events.end()) continue;
        ++matched;
        if (s.on && e->first) ++firstOut;
        maxLateMs = std::max(maxLateMs, e->clockMs - s.clockMs);
        sumLateMs += e->clockMs - s.clockMs;
    }
    const std::vector<std::vector<std::string>> faultRows = Rows(faultJournal.path());
    std::printf(
        "\nfault events: scheduled %zu ON and %zu OFF; seen %zu ON, %zu OFF, %zu lost; %zu journal lines\n",
        expectedOn, expectedOff, seenOn, seenOff, seenLost, faultRows.size());
    std::printf(
        "  %zu of %zu switches seen, %zu onsets first-out; late by %.2f s on average, %.2f s at most\n",
        matched, toggles.size(), firstOut,
        matched > 0 ? static_cast<double>(sumLateMs) / matched / 1000 : 0.0,
        static_cast<double>(maxLateMs) / 1000);
    std::printf("  %zu onsets are a bit seen on again after its lost event\n", onAgain);

    std::printf("\nresident memory (MiB) at each simulated hour:\n ");
    for (const Sample& s : samples) std::printf(" %.1f", s.rssMiB);
    // The simulator keeps its last 10000 requests: its log fills within the
    // first two hours, so the slope is fitted from there on.
    const std::size_t settled = hours >= 4 ? 2 : 1;
    std::printf("\n  slope from hour %zu on: %+.3f MiB per simulated hour; peak %.1f MiB\n", settled,
                Slope(samples, settled),
                std::max_element(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) {
                    return a.rssMiB < b.rssMiB;
                })->rssMiB);
    sim.stop();
    return writesWhole ? 0 : 1;
}
