#include "app/command_line.h"

#include <QCoreApplication>
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
#include "app/command_language.h"
#include "app/command_port.h"
#include "app/qt_text.h"
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

// The commands' words for a person (app/command_language.h).
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};

using qtext::qs;
using qtext::text;

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
    std::vector<ArgumentOption> options = {{"device", "PATH"},         {"baud", "B"},      {"parity", "P"},
                                           {"data-bits", "N"},         {"stop-bits", "N"}, {"timeout", "S"},
                                           {"capture", "FILE.pcapng"}, {"lang", "LANG"}};
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
    if (!parsed.parse(words, optionsOf(a->command), error, a->command)) {
        return parsed.waitsForValue() && !complete;
    }
    const bool needsFile = a->command == "verify" || a->command == "restore";
    for (const std::string& p : parsed.positional()) {
        if (needsFile && a->file.empty() && !p.empty() && p[0] != '-') {
            a->file = p;
            continue;
        }
        *error = text(Tr::tr("unknown argument '%1' for %2").arg(qs(p), qs(a->command)));
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
         QT_TRANSLATE_NOOP("Commands", "1200, 2400, 4800, 9600, 19200 or 115200")},
        {"parity",
         [](const std::string& v, Args* a) {
             static const std::map<std::string, int> kParity = {{"none", 0}, {"odd", 1}, {"even", 2}};
             const auto it = kParity.find(v);
             if (it != kParity.end()) a->parity = it->second;
             return it != kParity.end();
         },
         QT_TRANSLATE_NOOP("Commands", "none, odd or even")},
        {"data-bits", [](const std::string& v, Args* a) { return parseInt(v, 7, 8, &a->dataBits); },
         QT_TRANSLATE_NOOP("Commands", "7 or 8")},
        {"stop-bits", [](const std::string& v, Args* a) { return parseInt(v, 1, 2, &a->stopBits); },
         QT_TRANSLATE_NOOP("Commands", "1 or 2")},
        {"timeout", [](const std::string& v, Args* a) { return parseTimeout(v, &a->giveUpMs); },
         QT_TRANSLATE_NOOP("Commands", "seconds, above 0 and up to 600")},
        {"duration",
         [](const std::string& v, Args* a) {
             return parseSeconds(v, 0, 1e7, &a->durationS) && a->durationS > 0;
         },
         QT_TRANSLATE_NOOP("Commands", "seconds, above 0")},
        {"lang",
         [](const std::string& v, Args*) {
             LanguageChoice choice = LanguageChoice::Shipped;
             return ParseLanguage(v, &choice);
         },
         QT_TRANSLATE_NOOP("Commands", "shipped, en or zh_CN")},
    };
    for (const Rule& rule : kRules) {
        for (const std::string& v : parsed.values(rule.option)) {
            if (!rule.take(v, a)) {
                *error = text(Tr::tr("bad --%1 '%2' (%3)")
                                  .arg(QString::fromLatin1(rule.option), qs(v), Tr::tr(rule.expected)));
                return false;
            }
        }
    }
    for (const std::string& v : parsed.values("only")) {
        std::string bad;
        if (!parseRegisters(v, &a->only, &bad)) {
            *error = text(Tr::tr("bad --only register '%1' (a parameter register, e.g. 2550)").arg(qs(bad)));
            return false;
        }
    }
    for (const std::string& v : parsed.values("capture")) {
        if (v.empty()) {
            *error = text(Tr::tr("--capture needs a file name"));
            return false;
        }
        a->capture = v;
    }
    a->device = parsed.value("device");
    const std::string deviceProblem = netport::NetworkPathProblem(a->device);
    if (!deviceProblem.empty()) {
        *error = text(Tr::tr("bad --device: %1").arg(qs(deviceProblem)));
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
            *error = text(Tr::tr("%1 takes --device or --replay, not both").arg(qs(a->command)));
            return false;
        }
        a->device = a->replay;  // what the messages name
        return true;
    }
    if (needsFile && a->file.empty()) {
        *error = text(Tr::tr("%1 needs a FILE").arg(qs(a->command)));
        return false;
    }
    if (a->simulate && !a->device.empty()) {
        *error = text(Tr::tr("give --device PATH or --simulate, not both"));
        return false;
    }
    if (!a->replay.empty() &&
        (!a->device.empty() || !a->capture.empty() || a->durationS > 0 || a->fastLine)) {
        *error =
            text(Tr::tr("--replay makes the report from a capture: no --device, --capture, --duration or "
                        "--fast-line with it"));
        return false;
    }
    if (a->device.empty() && !a->simulate && a->replay.empty()) {
        const QString needs = a->command == "serve" ? Tr::tr("%1 needs --device PATH or --simulate")
                              : a->command == "report"
                                  ? Tr::tr("%1 needs --device PATH or --replay FILE.pcapng")
                                  : Tr::tr("%1 needs --device PATH");
        *error = text(needs.arg(qs(a->command)));
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
    std::fprintf(err, "drive-console: %s\n",
                 text(Tr::tr("%1 registers saved to %2").arg(set.entries.size()).arg(qs(a.out))).c_str());
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
            std::fprintf(err, "drive-console: %s\n",
                         text(Tr::tr("cannot open %1").arg(qs(a.device))).c_str());
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
        const QString never = missing.size() == 1
                                  ? Tr::tr("%1 never read this page: %2 missing from the set")
                                  : Tr::tr("%1 never read these pages: %2 missing from the set");
        std::fprintf(err, "drive-console: %s\n", text(never.arg(qs(a.replay), qs(pages))).c_str());
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
    QString summary = Tr::tr("%1 of %2 registers differ").arg(differing).arg(set.entries.size());
    if (notCompared > 0) summary += Tr::tr("; %1 command registers differ, not compared").arg(notCompared);
    std::fprintf(err, "drive-console: %s\n", text(summary).c_str());
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
            std::fprintf(err, "drive-console: %s\n",
                         text(Tr::tr("dry run: restore would refuse: %1").arg(qs(refusal))).c_str());
            return kCommandBadInput;
        }
        std::fprintf(
            err, "drive-console: %s\n",
            text(Tr::tr("dry run, %1 registers would be written, nothing was").arg(plan.size())).c_str());
        return kCommandOk;
    }
    if (!refusal.empty()) {
        std::fprintf(err, "drive-console: %s\n", refusal.c_str());
        return kCommandBadInput;
    }
    if (plan.empty()) {
        std::fprintf(err, "drive-console: %s\n", text(Tr::tr("nothing to write")).c_str());
        return kCommandOk;
    }
    std::string backup;
    std::string error;
    if (!psets::SaveBackup(before, "backup before restoring " + a.file, &backup, &error)) {
        std::fprintf(
            err, "drive-console: %s\n",
            text(Tr::tr("nothing written, the backup could not be saved: %1").arg(qs(error))).c_str());
        return kCommandBadInput;
    }
    std::fprintf(err, "drive-console: %s\n",
                 text(Tr::tr("the controller's parameters before the restore: %1").arg(qs(backup))).c_str());
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
    std::fprintf(
        err, "drive-console: %s\n",
        text(Tr::tr("%1 written, %2 registers differ from the file now").arg(rows.size()).arg(stillDiffering))
            .c_str());
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
            std::fprintf(err, "drive-console: %s\n",
                         text(Tr::tr("simulated controller: %1").arg(qs(simulator.error()))).c_str());
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

int RunCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    ResetConsoleState();
    // Before anything is said, the faults of the arguments too.
    const CommandLanguage language(LanguageArgument(args), err);
    // Captions, units and the registers a file may name come from the panel
    // resources: without them nothing is read, compared or written.
    const std::string& catalogueError = Catalogue().error();
    if (!catalogueError.empty()) {
        std::fprintf(
            err, "drive-console: %s\n",
            text(Tr::tr("the panel resources do not describe every register:\n%1").arg(qs(catalogueError)))
                .c_str());
        return kCommandBadInput;
    }
    Args a;
    std::string error;
    if (args.empty() || !IsCommandName(args[0]) || !parseArgs(args, &a, &error)) {
        std::fprintf(err, "drive-console: %s\n%s",
                     error.empty() ? text(Tr::tr("no command")).c_str() : error.c_str(),
                     CommandUsage().c_str());
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
            std::fprintf(err, "drive-console: %s\n", text(Tr::tr("another replay is running")).c_str());
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
                std::fprintf(
                    err, "drive-console: %s\n",
                    text(Tr::tr("register %1 of --only is not in %2").arg(reg).arg(qs(a.file))).c_str());
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
