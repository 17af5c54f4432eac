#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "app/arguments.h"
#include "app/command_capture.h"
#include "app/command_port.h"
#include "app/watch_command.h"
#include "engine/console_state.h"
#include "engine/write_journal.h"
#include "modbus/write_outcome.h"
#include "model/register_catalogue.h"
#include "platform/os/app_dirs.h"
#include "platform/port/net_address.h"
#include "serial/rs232.h"
#include "sets/parameter_set.h"
#include "sets/set_line.h"

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
    std::string out;  // dump, watch
    std::string note;
    std::string capture;   // every command: the line to this pcapng file
    double durationS = 0;  // watch; 0: until interrupted
    bool fastLine = false;
    std::vector<int> only;
    bool dryRun = false;
    bool allowHallMask = false;  // restore may turn the hall-fault mask on
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
    if (command == "dump") options.insert(options.end(), {{"out", "FILE"}, {"note", "TEXT"}});
    if (command == "watch")
        options.insert(options.end(), {{"duration", "S"}, {"out", "FILE.csv"}, {"fast-line"}});
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
    a->dryRun = parsed.isSet("dry-run");
    a->allowHallMask = parsed.isSet("allow-hall-fault-mask");
    a->fastLine = parsed.isSet("fast-line");
    if (!complete) return true;
    if (needsFile && a->file.empty()) {
        *error = a->command + " needs a FILE";
        return false;
    }
    if (a->device.empty()) {
        *error = a->command + " needs --device PATH";
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

std::string describe(const psets::RegisterInfo& info)
{
    return std::to_string(info.reg) + " " + info.page + " / " + info.caption;
}

std::string valueText(const psets::RegisterInfo& info, int word)
{
    std::string text = psets::FormatValue(info, word);
    if (!info.unit.empty()) text += " " + info.unit;
    if (info.scaled()) text += " (word " + std::to_string(word) + ")";
    return text;
}

CommandPortOptions portOptions(const Args& a)
{
    CommandPortOptions o;
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

int dump(const Args& a, std::FILE* out, std::FILE* err)
{
    const CommandPort line(portOptions(a), CommandReads::Pages);
    const int rc = connect(a, line, err);
    if (rc != kCommandOk) return rc;
    const psets::ParameterSet set = psets::SetFromWords(psets::TableWords(), a.note);
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

// "2630 MOTOR / caption: controller 5, file 9", for a register that differs.
std::string differenceLine(const psets::Comparison& c)
{
    return describe(*c.info) + ": controller " + valueText(*c.info, c.controllerWord) + ", file " +
           valueText(*c.info, c.fileWord);
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

// Why a restore of `plan` over `controller` may not go ahead: it would turn a
// guarded parameter on without the option that allows it. "" when it may.
std::string guardRefusal(const std::vector<psets::Entry>& plan, const std::map<int, int>& controller,
                         bool allowHallMask)
{
    if (allowHallMask) return "";
    std::string turnedOn;
    for (const psets::Entry& e : psets::GuardedTurnOns(plan, controller)) {
        const psets::RegisterInfo& info = *psets::FindRegister(e.reg);
        if (!turnedOn.empty()) turnedOn += ", ";
        turnedOn += describe(info) + " from " + valueText(info, controller.at(e.reg)) + " to " +
                    valueText(info, e.word);
    }
    if (turnedOn.empty()) return "";
    return "the file turns the hall-fault mask on (" + turnedOn +
           "): the controller would no longer report hall sensor faults. Nothing was written; give "
           "--allow-hall-fault-mask to write it";
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
    const std::string refusal = guardRefusal(plan, before, a.allowHallMask);
    if (a.dryRun) {
        for (const psets::Entry& e : plan) {
            const psets::RegisterInfo& info = *psets::FindRegister(e.reg);
            std::fprintf(out, "would write %s: %s -> %s\n", describe(info).c_str(),
                         valueText(info, before.at(e.reg)).c_str(), valueText(info, e.word).c_str());
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
                     info.caption.c_str(), valueText(info, r.entry.word).c_str(),
                     valueText(info, r.before).c_str(), r.readBack ? valueText(info, r.after).c_str() : "-",
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

// Runs the command of `a` (`set`: the file of verify and restore).
int runCommand(const Args& a, const psets::ParameterSet& set, CommandCapture* capture, std::FILE* out,
               std::FILE* err)
{
    if (a.command == "dump") return dump(a, out, err);
    if (a.command == "verify") return verify(a, set, out, err);
    if (a.command == "restore") return restore(a, set, out, err);
    WatchOptions w;
    w.port = portOptions(a);
    w.durationS = a.durationS;
    w.out = a.out;
    w.giveUpMs = a.giveUpMs;
    w.capture = capture;
    return RunWatch(w, out, err);
}

}  // namespace

bool IsCommandName(const std::string& word)
{
    return word == "dump" || word == "verify" || word == "restore" || word == "watch";
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
           "  watch options:\n"
           "  --duration S         stop after S seconds (default: at Ctrl-C)\n"
           "  --out FILE.csv       write the events to FILE.csv too, in the format of faults.csv\n"
           "  --fast-line          line-rate polling: a status read about every 0.05 s, not 0.5 s\n"
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
    const int status = runCommand(a, set, &capture, out, err);
    capture.finish();
    return capture.status(status);
}
