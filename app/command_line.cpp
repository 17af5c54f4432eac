#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "modbus/line_state.h"
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/arguments.h"
#include "app/command_capture.h"
#include "app/command_port.h"
#include "app/report_command.h"
#include "app/serve_command.h"
#include "app/watch_command.h"
#include "engine/console_state.h"
#include "engine/write_journal.h"
#include "modbus/write_outcome.h"
#include "model/data_item.h"
#include "model/line_flags.h"
#include "model/register_catalogue.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/port/net_address.h"
#include "rpc/json_rpc.h"
#include "serial/replay_port.h"
#include "serial/rs232.h"
#include "sets/parameter_set.h"
#include "sets/set_line.h"
#include "tools/sim/simulator.h"

namespace {

// The panel column of the journal lines of the commands' writes.
constexpr const char* kJournalPanel = "command line";

struct Args {
    std::string command;
    std::string file;  // verify, restore
    std::string device;
    long baud = 19200;  // the port panel's defaults
    int parity = 1;
    int dataBits = 8;
    int stopBits = 1;
    std::string out;        // dump, watch, report
    std::string reference;  // report
    std::string note;
    std::string capture;   // every command: the line to this pcapng file
    std::string replay;    // dump, watch: played back in place of a device; report: made from it
    double durationS = 0;  // watch (0: until interrupted), report (0: its default)
    bool fastLine = false;
    std::vector<int> only;
    bool dryRun = false;
    bool allowHallMask = false;  // restore may turn the hall-fault mask on
    bool simulate = false;       // serve: the built-in simulated controller instead of a device
    int giveUpMs = psets::kDefaultGiveUpMs;
};

template <typename Int>
bool parseInt(const std::string& text, long lo, long hi, Int* out)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end == text.c_str() || *end != '\0' || errno != 0 || v < lo || v > hi) return false;
    *out = static_cast<Int>(v);
    return true;
}

// Seconds from lo to hi.
bool parseSeconds(const std::string& text, double lo, double hi, double* out)
{
    char* end = nullptr;
    errno = 0;
    const double sec = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || errno != 0 || !std::isfinite(sec) || sec < lo || sec > hi)
        return false;
    *out = sec;
    return true;
}

// The options every command takes (the port and the give-up time), then each
// command's own.
std::vector<ArgumentOption> optionsOf(const std::string& command)
{
    std::vector<ArgumentOption> options = {{"device", "PATH"},        {"baud", "B"},      {"parity", "P"},
                                           {"data-bits", "N"},        {"stop-bits", "N"}, {"timeout", "S"},
                                           {"capture", "FILE.pcapng"}};
    if (command == "dump")
        options.insert(options.end(), {{"out", "FILE"}, {"note", "TEXT"}, {"replay", "FILE"}});
    if (command == "watch")
        options.insert(options.end(),
                       {{"duration", "S"}, {"out", "FILE.csv"}, {"fast-line"}, {"replay", "FILE"}});
    if (command == "serve") options.insert(options.end(), {{"fast-line"}, {"simulate"}});
    if (command == "report") {
        options.insert(options.end(), {{"duration", "S"},
                                       {"reference", "SET.json"},
                                       {"out", "FILE.zip"},
                                       {"fast-line"},
                                       {"replay", "FILE.pcapng"}});
    }
    if (command == "restore") {
        options.insert(options.end(), {{"only", "REG[,REG...]"}, {"dry-run"}, {"allow-hall-fault-mask"}});
    }
    return options;
}

bool parseTimeout(const std::string& text, int* giveUpMs)
{
    double sec = 0;
    if (!parseSeconds(text, 0, 600, &sec) || sec <= 0) return false;
    *giveUpMs = std::max(1, static_cast<int>(sec * 1000));
    return true;
}

// Appends the registers of "2550,2551" to *only; false on one that is not a
// parameter register, with that part in *bad.
bool parseRegisters(const std::string& list, std::vector<int>* only, std::string* bad)
{
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const std::string part = list.substr(from, comma - from);
        long n = 0;
        if (!parseInt(part, 0, 65535, &n) || psets::FindRegister(static_cast<int>(n)) == nullptr) {
            *bad = part;
            return false;
        }
        only->push_back(static_cast<int>(n));
        from = comma + 1;
    }
    return true;
}

// The arguments `words` of command `a->command`; with `complete` false, an
// option at the end may still wait for its value, and the file and device may
// still come.
bool parseWords(const std::vector<std::string>& words, bool complete, Args* a, std::string* error)
{
    Arguments parsed;
    if (!parsed.parse(words, optionsOf(a->command), error, " for " + a->command)) {
        return parsed.waitsForValue() && !complete;
    }
    const bool needsFile = a->command == "verify" || a->command == "restore";
    for (const std::string& p : parsed.positional()) {
        if (needsFile && a->file.empty() && !p.empty() && p[0] != '-') {
            a->file = p;
            continue;
        }
        *error = "unknown argument '" + p + "' for " + a->command;
        return false;
    }
    // Each port value, and what it must be.
    struct Rule {
        const char* option;
        bool (*take)(const std::string& value, Args* a);
        const char* expected;
    };
    static const Rule kRules[] = {
        {"baud",
         [](const std::string& v, Args* a) {
             static const std::set<long> kBauds = {1200, 2400, 4800, 9600, 19200, 115200};
             return parseInt(v, 1, 1000000, &a->baud) && kBauds.count(a->baud) != 0;
         },
         "1200, 2400, 4800, 9600, 19200 or 115200"},
        {"parity",
         [](const std::string& v, Args* a) {
             static const std::map<std::string, int> kParity = {{"none", 0}, {"odd", 1}, {"even", 2}};
             const auto it = kParity.find(v);
             if (it != kParity.end()) a->parity = it->second;
             return it != kParity.end();
         },
         "none, odd or even"},
        {"data-bits", [](const std::string& v, Args* a) { return parseInt(v, 7, 8, &a->dataBits); },
         "7 or 8"},
        {"stop-bits", [](const std::string& v, Args* a) { return parseInt(v, 1, 2, &a->stopBits); },
         "1 or 2"},
        {"timeout", [](const std::string& v, Args* a) { return parseTimeout(v, &a->giveUpMs); },
         "seconds, above 0 and up to 600"},
        {"duration",
         [](const std::string& v, Args* a) {
             return parseSeconds(v, 0, 1e7, &a->durationS) && a->durationS > 0;
         },
         "seconds, above 0"},
    };
    for (const Rule& rule : kRules) {
        for (const std::string& v : parsed.values(rule.option)) {
            if (!rule.take(v, a)) {
                *error = std::string("bad --") + rule.option + " '" + v + "' (" + rule.expected + ")";
                return false;
            }
        }
    }
    for (const std::string& v : parsed.values("only")) {
        std::string bad;
        if (!parseRegisters(v, &a->only, &bad)) {
            *error = "bad --only register '" + bad + "' (a parameter register, e.g. 2550)";
            return false;
        }
    }
    for (const std::string& v : parsed.values("capture")) {
        if (v.empty()) {
            *error = "--capture needs a file name";
            return false;
        }
        a->capture = v;
    }
    a->device = parsed.value("device");
    const std::string deviceProblem = netport::NetworkPathProblem(a->device);
    if (!deviceProblem.empty()) {
        *error = "bad --device: " + deviceProblem;
        return false;
    }
    a->out = parsed.value("out");
    a->note = parsed.value("note");
    a->reference = parsed.value("reference");
    a->replay = parsed.value("replay");
    a->dryRun = parsed.isSet("dry-run");
    a->allowHallMask = parsed.isSet("allow-hall-fault-mask");
    a->fastLine = parsed.isSet("fast-line");
    a->simulate = parsed.isSet("simulate");
    if (!complete) return true;
    if (!a->replay.empty() && a->command != "report") {
        if (!a->device.empty()) {
            *error = a->command + " takes --device or --replay, not both";
            return false;
        }
        a->device = a->replay;  // what the messages name
        return true;
    }
    if (needsFile && a->file.empty()) {
        *error = a->command + " needs a FILE";
        return false;
    }
    if (a->simulate && !a->device.empty()) {
        *error = "give --device PATH or --simulate, not both";
        return false;
    }
    if (!a->replay.empty() &&
        (!a->device.empty() || !a->capture.empty() || a->durationS > 0 || a->fastLine)) {
        *error =
            "--replay makes the report from a capture: no --device, --capture, --duration or --fast-line "
            "with it";
        return false;
    }
    if (a->device.empty() && !a->simulate && a->replay.empty()) {
        *error = a->command + (a->command == "serve"    ? " needs --device PATH or --simulate"
                               : a->command == "report" ? " needs --device PATH or --replay FILE.pcapng"
                                                        : " needs --device PATH");
        return false;
    }
    return true;
}

bool parseArgs(const std::vector<std::string>& args, Args* a, std::string* error)
{
    const std::vector<std::string> words(args.begin() + 1, args.end());
    Args parsed;
    std::string why;
    const bool ok = CheckInOrder(
        words,
        [&](const std::vector<std::string>& w, bool complete, std::string* e) {
            parsed = Args{};
            parsed.command = args.at(0);
            return parseWords(w, complete, &parsed, e);
        },
        &why);
    if (!ok) {
        *error = why;
        return false;
    }
    *a = parsed;
    return true;
}

using psets::Describe;
using psets::ValueText;

CommandPortOptions portOptions(const Args& a, Replay* replay = nullptr)
{
    CommandPortOptions o;
    o.replay = replay;
    o.device = a.device;
    o.baud = a.baud;
    o.parity = a.parity;
    o.dataBits = a.dataBits;
    o.stopBits = a.stopBits;
    o.fastLine = a.fastLine;
    return o;
}

// Opens the line and reads the pages; returns kCommandOk or the failure status.
int connect(const Args& a, const CommandPort& line, std::FILE* err)
{
    if (!line.open()) {
        std::fprintf(err, "drive-console: %s\n", line.openFailure().c_str());
        return kCommandNoAnswer;
    }
    std::string error;
    if (!psets::WaitForController(a.giveUpMs, &error) || !psets::ReadPagesFresh(a.giveUpMs, &error)) {
        std::fprintf(err, "drive-console: %s: %s\n", a.device.c_str(), error.c_str());
        return kCommandNoAnswer;
    }
    return kCommandOk;
}

int writeSet(const Args& a, const psets::ParameterSet& set, std::FILE* out, std::FILE* err);

int dump(const Args& a, std::FILE* out, std::FILE* err)
{
    const CommandPort line(portOptions(a), CommandReads::Pages);
    const int rc = connect(a, line, err);
    if (rc != kCommandOk) return rc;
    const psets::ParameterSet set = psets::SetFromWords(psets::TableWords(), a.note);
    return writeSet(a, set, out, err);
}

int writeSet(const Args& a, const psets::ParameterSet& set, std::FILE* out, std::FILE* err)
{
    if (a.out.empty()) {
        const QByteArray bytes = psets::ToJson(set);
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
        std::fflush(out);
        return kCommandOk;
    }
    std::string error;
    if (!psets::SaveSetFile(a.out, set, &error)) {
        std::fprintf(err, "drive-console: %s\n", error.c_str());
        return kCommandBadInput;
    }
    std::fprintf(err, "drive-console: %zu registers saved to %s\n", set.entries.size(), a.out.c_str());
    return kCommandOk;
}

bool isReadOf(const std::vector<unsigned char>& request, const ItemTable& t)
{
    const int address = t.items[0].address.load();
    return request.size() == 8 && request[1] == 3 && ((request[2] << 8) | request[3]) == address &&
           ((request[4] << 8) | request[5]) == t.count;
}

// dump of a capture: the pages are read as the capture read them, and the
// set is what the last read of each page gave. A page it never read is not
// in the set.
int dumpReplay(const Args& a, Replay& replay, std::FILE* out, std::FILE* err)
{
    constexpr int kLookMs = 100;
    std::vector<int> missing;
    std::map<int, int> words;
    int readsBefore[6] = {};
    for (int tab = 0; tab < 6; ++tab) readsBefore[tab] = kPageTables[tab].items[0].read_count.load();
    const auto read = [&readsBefore](int tab) {
        return kPageTables[tab].items[0].read_count.load() != readsBefore[tab];
    };
    {
        const CommandPort line(portOptions(a, &replay), CommandReads::Pages);
        if (!line.open()) {
            std::fprintf(err, "drive-console: cannot open %s\n", a.device.c_str());
            return kCommandNoAnswer;
        }
        while (!replay.finished() && PortOpen()) {
            for (const std::vector<unsigned char>& request : replay.upcoming()) {
                for (const ItemTable& t : kPageTables) {
                    if (isReadOf(request, t)) t.items[0].query_flag = 1;
                }
            }
            Sleep(kLookMs);
        }
        for (const auto& [reg, word] : psets::TableWords()) {
            const psets::RegisterInfo* info = psets::FindRegister(reg);
            if (info != nullptr && read(info->tab)) words[reg] = word;
        }
        for (int tab = 0; tab < 6; ++tab) {
            if (!read(tab)) missing.push_back(tab);
        }
    }
    std::string pages;
    for (const int tab : missing) {
        const psets::RegisterInfo* head = psets::FindRegister(kPageTables[tab].items[0].address.load());
        pages += (pages.empty() ? "" : ", ") + (head != nullptr ? head->page : std::to_string(tab + 1));
    }
    if (!pages.empty()) {
        std::fprintf(err, "drive-console: %s never read %s: %s missing from the set\n", a.replay.c_str(),
                     missing.size() == 1 ? "this page" : "these pages", pages.c_str());
    }
    const psets::ParameterSet set = psets::SetFromWords(words, a.note);
    return writeSet(a, set, out, err);
}

// "2630 MOTOR / caption: controller 5, file 9", for a register that differs.
std::string differenceLine(const psets::Comparison& c)
{
    return Describe(*c.info) + ": controller " + ValueText(*c.info, c.controllerWord) + ", file " +
           ValueText(*c.info, c.fileWord);
}

// Lists the command and test registers among `comparisons` that differ (and
// that `considered` names): saved in a file, never compared. Returns how many.
int listNotCompared(const std::vector<psets::Comparison>& comparisons, const std::vector<int>& considered,
                    std::FILE* out)
{
    int listed = 0;
    for (const psets::Comparison& c : comparisons) {
        if (c.info == nullptr || c.compared() || !c.differs) continue;
        if (!considered.empty() &&
            std::find(considered.begin(), considered.end(), c.info->reg) == considered.end())
            continue;
        ++listed;
        std::fprintf(out, "%s: %s\n", differenceLine(c).c_str(), psets::kNotCompared);
    }
    return listed;
}

int verify(const Args& a, const psets::ParameterSet& set, std::FILE* out, std::FILE* err)
{
    const CommandPort line(portOptions(a), CommandReads::Pages);
    const int rc = connect(a, line, err);
    if (rc != kCommandOk) return rc;
    const std::vector<psets::Comparison> comparisons = psets::Compare(set, psets::TableWords());
    int differing = 0;
    for (const psets::Comparison& c : comparisons) {
        if (!c.differs || !c.compared()) continue;
        ++differing;
        std::fprintf(out, "%s\n", differenceLine(c).c_str());
    }
    const int notCompared = listNotCompared(comparisons, {}, out);
    std::fprintf(err, "drive-console: %d of %zu registers differ", differing, set.entries.size());
    if (notCompared > 0) std::fprintf(err, "; %d command registers differ, not compared", notCompared);
    std::fprintf(err, "\n");
    return differing == 0 ? kCommandOk : kCommandDiffers;
}

int restore(const Args& a, const psets::ParameterSet& set, std::FILE* out, std::FILE* err)
{
    // Made before the line and so ended after it: every write that ends, even
    // as the line closes, is in writes.csv before the command returns.
    WriteJournal journal(ConsoleStateDir(), [err](const std::string& problem) {
        if (!problem.empty()) std::fprintf(err, "drive-console: %s\n", problem.c_str());
    });
    // A fatal port error ends the process at once: what the end of the
    // command writes is written first.
    const FatalErrorHook fatalError([&journal] {
        AbandonWrites(kCommandEnded);
        journal.drain();
    });
    const CommandPort line(portOptions(a), CommandReads::Pages);
    const int rc = connect(a, line, err);
    if (rc != kCommandOk) return rc;
    const std::map<int, int> before = psets::TableWords();
    const std::vector<psets::Entry> plan = psets::RegistersToWrite(set, before, a.only);
    listNotCompared(psets::Compare(set, before), a.only, out);
    const std::string refusal =
        a.allowHallMask ? ""
                        : psets::HallMaskRefusal(plan, before, "give --allow-hall-fault-mask to write it");
    if (a.dryRun) {
        for (const psets::Entry& e : plan) {
            const psets::RegisterInfo& info = *psets::FindRegister(e.reg);
            std::fprintf(out, "would write %s: %s -> %s\n", Describe(info).c_str(),
                         ValueText(info, before.at(e.reg)).c_str(), ValueText(info, e.word).c_str());
        }
        if (!refusal.empty()) {
            std::fprintf(err, "drive-console: dry run: restore would refuse: %s\n", refusal.c_str());
            return kCommandBadInput;
        }
        std::fprintf(err, "drive-console: dry run, %zu registers would be written, nothing was\n",
                     plan.size());
        return kCommandOk;
    }
    if (!refusal.empty()) {
        std::fprintf(err, "drive-console: %s\n", refusal.c_str());
        return kCommandBadInput;
    }
    if (plan.empty()) {
        std::fprintf(err, "drive-console: nothing to write\n");
        return kCommandOk;
    }
    std::string backup;
    std::string error;
    if (!psets::SaveBackup(before, "backup before restoring " + a.file, &backup, &error)) {
        std::fprintf(err, "drive-console: nothing written, the backup could not be saved: %s\n",
                     error.c_str());
        return kCommandBadInput;
    }
    std::fprintf(err, "drive-console: the controller's parameters before the restore: %s\n", backup.c_str());
    const std::vector<psets::RestoreRow> rows =
        psets::Restore(plan, before, a.giveUpMs, nullptr, nullptr, kJournalPanel);
    bool allConfirmed = true;
    bool readBack = true;
    std::fprintf(out, "%-8s %-10s %-34s %-22s %-22s %-22s %s\n", "register", "page", "caption", "file",
                 "before", "after", "outcome");
    for (const psets::RestoreRow& r : rows) {
        const psets::RegisterInfo& info = *psets::FindRegister(r.entry.reg);
        allConfirmed = allConfirmed && r.confirmed;
        readBack = readBack && r.readBack;
        std::fprintf(out, "%-8d %-10s %-34s %-22s %-22s %-22s %s\n", info.reg, info.page.c_str(),
                     info.caption.c_str(), ValueText(info, r.entry.word).c_str(),
                     ValueText(info, r.before).c_str(), r.readBack ? ValueText(info, r.after).c_str() : "-",
                     r.outcome.c_str());
    }
    if (!readBack) return kCommandNoAnswer;
    // Registers left alone must still match after the writes.
    int stillDiffering = 0;
    for (const psets::Comparison& c : psets::Compare(set, psets::TableWords())) {
        const bool considered =
            a.only.empty() || std::find(a.only.begin(), a.only.end(), c.info->reg) != a.only.end();
        if (c.differs && c.compared() && considered) ++stillDiffering;
    }
    std::fprintf(err, "drive-console: %zu written, %d registers differ from the file now\n", rows.size(),
                 stillDiffering);
    return allConfirmed && stillDiffering == 0 ? kCommandOk : kCommandDiffers;
}

int serve(const Args& a, CommandCapture* capture, std::FILE* out, std::FILE* err)
{
    sim::Simulator simulator;
    ServeOptions o;
    o.port = portOptions(a);
    o.giveUpMs = a.giveUpMs;
    o.capture = capture;
    if (a.simulate) {
        o.port.device = simulator.start();
        if (o.port.device.empty()) {
            std::fprintf(err, "drive-console: simulated controller: %s\n", simulator.error().c_str());
            return kCommandNoAnswer;
        }
    }
#ifdef _WIN32
    // Bytes as they come: no end of input at a Ctrl-Z byte, no CR added to the answers.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(out), _O_BINARY);
#endif
    const ServeInput in = [](QByteArray* line, bool* tooLong) { return rpc::ReadLine(stdin, line, tooLong); };
    const ServeOutput write = [out](const QByteArray& json) {
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), out);
        std::fputc('\n', out);
        std::fflush(out);
    };
    const int rc = RunServe(o, in, write, err);
    simulator.stop();
    return rc;
}

// Runs the command of `a` (`set`: the file of verify and restore), on the
// line of `replay` when one is given.
int runCommand(const Args& a, const psets::ParameterSet& set, Replay* replay, CommandCapture* capture,
               std::FILE* out, std::FILE* err)
{
    if (a.command == "dump") return replay != nullptr ? dumpReplay(a, *replay, out, err) : dump(a, out, err);
    if (a.command == "verify") return verify(a, set, out, err);
    if (a.command == "restore") return restore(a, set, out, err);
    if (a.command == "serve") return serve(a, capture, out, err);
    if (a.command == "report") {
        ReportOptions r;
        r.port = portOptions(a);
        if (a.durationS > 0) r.durationS = a.durationS;
        r.reference = a.reference;
        r.out = a.out;
        r.giveUpMs = a.giveUpMs;
        r.capture = capture;
        r.replay = a.replay;
        return RunReport(r, out, err);
    }
    WatchOptions w;
    w.port = portOptions(a, replay);
    w.durationS = a.durationS;
    w.out = a.out;
    w.giveUpMs = a.giveUpMs;
    w.capture = capture;
    return RunWatch(w, out, err);
}

}  // namespace

bool IsCommandName(const std::string& word)
{
    return word == "dump" || word == "verify" || word == "restore" || word == "watch" || word == "serve" ||
           word == "report";
}

const char* CommandUsage()
{
    return "commands (no display needed):\n"
           "  drive-console dump    --device PATH [port options] [--out FILE] [--note TEXT]\n"
           "      read the controller's parameter set; write it to FILE or to standard output\n"
           "  drive-console verify  FILE --device PATH [port options]\n"
           "      print each parameter that differs from FILE; exit 1 if any does. The command and\n"
           "      test registers (2650, 2651, 2654, 2655) are listed as not compared\n"
           "  drive-console restore FILE --device PATH [port options] [--only REG[,REG...]] [--dry-run]\n"
           "                        [--allow-hall-fault-mask]\n"
           "      save the controller's parameters to a backup, write the parameters that differ\n"
           "      from FILE (or only those named), read the pages back and print the outcome of\n"
           "      each; every write goes to the journal. --dry-run writes nothing. The command and\n"
           "      test registers are never written\n"
           "      --allow-hall-fault-mask  let the file turn the hall-fault mask (2662) on; without\n"
           "                               it such a file is refused and nothing is written\n"
           "  drive-console watch   --device PATH [port options] [--duration S] [--out FILE.csv]\n"
           "                        [--fast-line]\n"
           "      write the password, then poll only the status block and print each fault event\n"
           "      (ON, OFF, lost) as it happens, until S seconds have passed or Ctrl-C; every event\n"
           "      also goes to faults.csv in the state folder. Exit status: 0 no fault bit was on,\n"
           "      1 a fault was seen, 2 no answer from the controller and no fault seen, 3 bad\n"
           "      arguments, or a file that cannot be written and no fault seen\n"
           "  --replay FILE.pcapng  (dump, watch) in place of --device: a capture of the line\n"
           "               played back as fast as it can be read; dump gives the set of its last\n"
           "               page reads and names the pages it never read, watch its fault events\n"
           "               with their captured times (faults.csv is left alone)\n"
           "  watch options:\n"
           "  --duration S         stop after S seconds (default: at Ctrl-C)\n"
           "  --out FILE.csv       write the events to FILE.csv too, in the format of faults.csv\n"
           "  --fast-line          line-rate polling: a status read about every 0.05 s, not 0.5 s\n"
           "  drive-console serve   --device PATH | --simulate [port options] [--fast-line]\n"
           "                        [--capture FILE.pcapng]\n"
           "      write the password, poll as the window does and answer JSON-RPC 2.0 requests on\n"
           "      standard input, one JSON text per line each way (see the manual page for the\n"
           "      methods); messages go to standard error. Ends at the end of input or at\n"
           "      console.shutdown; exit status 0, or 2 when the controller never answered.\n"
           "      --simulate serves the built-in simulated controller\n"
           "  drive-console report  --device PATH [port options] [--duration S] [--reference SET.json]\n"
           "                        [--out FILE.zip] [--fast-line]\n"
           "  drive-console report  --replay FILE.pcapng [--reference SET.json] [--out FILE.zip]\n"
           "      write the password, poll the status block for S seconds (30), read the parameters and\n"
           "      write a service report: a zip with report.html (one page for a browser), the\n"
           "      parameters as dump writes them, the fault events, the writes, the status values,\n"
           "      the capture of the line, its counters and what the console and the port are.\n"
           "      Prints the zip's name. Exit status: 0 written, 2 no answer from the controller,\n"
           "      3 bad arguments, a reference that cannot be read or a file that cannot be written\n"
           "      (no file is left in either case)\n"
           "  report options:\n"
           "  --reference SET.json mark the parameters that differ from this set, with both values\n"
           "  --out FILE.zip       where the report goes (default: drive-report-<time>.zip here)\n"
           "  --replay FILE.pcapng make the report from a capture instead of a line: its status\n"
           "                       replies, faults and counters, and its last reads of the\n"
           "                       parameters (2 when it holds no status reply or no such read)\n"
           "  port options: --baud B (19200) --parity none|odd|even (odd) --data-bits 7|8 (8)\n"
           "                --stop-bits 1|2 (1) --timeout S (10: give up when the controller is silent)\n"
           "  --capture FILE.pcapng  (every command) every frame on the line to FILE.pcapng; a file\n"
           "               that cannot be created stops the command before the port opens (3), one\n"
           "               that fails on the way stops the capture, and the command goes on to end\n"
           "               with 3 unless it found differences or a fault (1)\n"
           "  exit status of dump, verify and restore: 0 done, 1 differences remain, 2 no answer\n"
           "               from the controller, 3 bad arguments or file, a refused file or no backup\n"
           "               (nothing is written), or a capture that could not be written\n";
}

int RunCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    ResetConsoleState();
    // Captions, units and the registers a file may name come from the panel
    // resources: without them nothing is read, compared or written.
    const std::string& catalogueError = Catalogue().error();
    if (!catalogueError.empty()) {
        std::fprintf(err, "drive-console: the panel resources do not describe every register:\n%s\n",
                     catalogueError.c_str());
        return kCommandBadInput;
    }
    Args a;
    std::string error;
    if (args.empty() || !IsCommandName(args[0]) || !parseArgs(args, &a, &error)) {
        std::fprintf(err, "drive-console: %s\n%s", error.empty() ? "no command" : error.c_str(),
                     CommandUsage());
        return kCommandBadInput;
    }
    std::unique_ptr<Replay> replay;
    if (!a.replay.empty() && a.command != "report") {
        auto recording = std::make_shared<ReplayRecording>();
        if (!recording->load(a.replay, &error)) {
            std::fprintf(err, "drive-console: %s\n", error.c_str());
            return kCommandBadInput;
        }
        replay = std::make_unique<Replay>(recording);
        if (!replay->start(Replay::kMax)) {
            std::fprintf(err, "drive-console: another replay is running\n");
            return kCommandBadInput;
        }
    }
    psets::ParameterSet set;
    if (a.command == "verify" || a.command == "restore") {
        if (!psets::LoadSetFile(a.file, &set, &error)) {
            std::fprintf(err, "drive-console: %s\n", error.c_str());
            return kCommandBadInput;
        }
        for (int reg : a.only) {
            const bool inFile = std::any_of(set.entries.begin(), set.entries.end(),
                                            [reg](const psets::Entry& e) { return e.reg == reg; });
            if (!inFile) {
                std::fprintf(err, "drive-console: register %d of --only is not in %s\n", reg, a.file.c_str());
                return kCommandBadInput;
            }
        }
    }
    // Before the port opens, so that the capture has the whole run; a file
    // that cannot be created stops the command before anything goes on the line.
    CommandCapture capture(err);
    if (!a.capture.empty() && !capture.start(a.capture)) return kCommandBadInput;
    // A fatal port error ends the process at once: the file has what came
    // before it, after what the command itself writes out.
    const FatalErrorHook fatalError([&capture] { capture.finish(); });
    const int status = runCommand(a, set, replay.get(), &capture, out, err);
    capture.finish();
    return capture.status(status);
}
