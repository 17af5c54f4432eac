#include "app/options.h"

#include <QCoreApplication>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/arguments.h"
#include "app/language.h"
#include "app/qt_text.h"
#include "model/panel_texts.h"
#include "model/uir_ids.h"
#include "platform/port/net_address.h"
#include "platform/port/serial.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Options)
};

using qtext::qs;
using qtext::text;

const std::vector<ArgumentOption> kOptions = {
    {"com", "N=DEVICE", QT_TRANSLATE_NOOP("Options", "open COM N (1..20) on DEVICE; repeatable")},
    {"simulate", nullptr,
     QT_TRANSLATE_NOOP("Options", "bind COM4 to the built-in simulated controller and open it")},
    {"list-ports", nullptr,
     QT_TRANSLATE_NOOP("Options", "print the serial devices present, one a line, and exit")},
    {"reconnect", nullptr,
     QT_TRANSLATE_NOOP("Options", "reconnect automatically when the device goes and comes back")},
    {"screenshots", "DIR",
     QT_TRANSLATE_NOOP("Options", "render every panel and page to PNG in DIR and exit")},
    {"screenshot-delay", "S",
     QT_TRANSLATE_NOOP("Options", "open the port (panel settings) and poll S seconds before the pictures")},
    {"monitor", nullptr, QT_TRANSLATE_NOOP("Options", "open the monitor window at start")},
    {"record", "FILE.csv",
     QT_TRANSLATE_NOOP("Options", "record every status reply to FILE.csv for the whole run")},
    {"capture", "FILE.pcapng",
     QT_TRANSLATE_NOOP("Options", "capture every frame on the line to FILE.pcapng for the whole run")},
    {"fast-line", nullptr, nullptr},  // its help names the port panel's button: see ConsoleUsage
    {"lang", "LANG",
     QT_TRANSLATE_NOOP("Options", "the language of this run: shipped (the panels as shipped), en or zh_CN")},
    {"replay", "FILE.pcapng",
     QT_TRANSLATE_NOOP("Options", "play a capture of the line back in place of a port; nothing is written")},
    {"replay-speed", "1|2|5|10|max",
     QT_TRANSLATE_NOOP("Options", "the pace of --replay against the captured one (1)")},
    {"help", nullptr, QT_TRANSLATE_NOOP("Options", "show this text")},
    {"version", nullptr, QT_TRANSLATE_NOOP("Options", "print the version and exit")},
};

bool takesValue(const std::string& word)
{
    for (const ArgumentOption& o : kOptions) {
        if (o.valueName != nullptr && word == std::string("--") + o.name) return true;
    }
    return false;
}

// The console's own words: -h stands for --help; Qt's own options (-platform,
// -style ...) are QApplication's, every other single-dash word with the word
// after it unless that is an option too. The value of an option is the
// console's, whatever it looks like.
std::vector<std::string> consoleWords(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (takesValue(a) && i + 1 < args.size()) {
            out.push_back(a);
            out.push_back(args[++i]);
        } else if (a == "-h") {
            out.emplace_back("--help");
        } else if (a.size() < 2 || a[0] != '-' || a[1] == '-') {
            out.push_back(a);
        } else if (i + 1 < args.size() && args[i + 1].rfind('-', 0) != 0) {
            ++i;
        }
    }
    return out;
}

bool parseSeconds(const std::string& text, double* out)
{
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || errno != 0 || !std::isfinite(d) || d < 0 || d > 86400)
        return false;
    *out = d;
    return true;
}

}  // namespace

std::string ConsoleUsage()
{
    // The button is named as the port panel shows it.
    const std::string fastLine =
        text(Tr::tr("line-rate polling on for this run (effective at %1)")
                 .arg(qs(ShownPanelText("sample5.uir", uir::PANEL_COM, "CONFIGURE"))));
    std::vector<std::string> helps;
    helps.reserve(kOptions.size());
    std::vector<ArgumentOption> shown = kOptions;
    for (ArgumentOption& o : shown) {
        if (std::string(o.name) == "fast-line") {
            helps.push_back(fastLine);
        } else {
            helps.push_back(o.help != nullptr ? text(Tr::tr(o.help)) : std::string());
        }
        o.help = helps.back().c_str();
    }
    return text(Tr::tr("usage: drive-console [options]")) + "\n" + UsageLines(shown);
}

namespace {

// The options of `words`; with `complete` false, an option at the end may
// still wait for its value.
bool parseWords(const std::vector<std::string>& words, bool complete, ConsoleOptions* options,
                std::string* error)
{
    Arguments a;
    if (!a.parse(words, kOptions, error)) return a.waitsForValue() && !complete;
    const std::vector<std::string> positional = a.positional();
    if (!positional.empty()) {
        *error = text(Tr::tr("unknown argument '%1'").arg(qs(positional.front())));
        return false;
    }
    for (const std::string& v : a.values("com")) {
        // Checked before it is bound: nothing is opened with a device that
        // cannot be one.
        const std::size_t eq = v.find('=');
        const std::string problem =
            eq == std::string::npos ? std::string() : netport::NetworkPathProblem(v.substr(eq + 1));
        if (!problem.empty()) {
            *error = text(Tr::tr("bad --com value '%1': %2").arg(qs(v), qs(problem)));
            options->badDevice = true;
            return false;
        }
        if (!ParseComOption(v)) {
            *error = text(Tr::tr("bad --com value '%1' (expected N=DEVICE with N in 1..20)").arg(qs(v)));
            return false;
        }
    }
    if (a.isSet("screenshots")) options->screenshotDir = a.value("screenshots");
    for (const std::string& v : a.values("screenshot-delay")) {
        if (!parseSeconds(v, &options->screenshotDelay)) {
            *error = text(Tr::tr("bad --screenshot-delay value '%1' (seconds, 0..86400)").arg(qs(v)));
            return false;
        }
    }
    for (const std::string& v : a.values("record")) {
        if (v.empty()) {
            *error = text(Tr::tr("--record needs a file name"));
            return false;
        }
        options->recordFile = v;
    }
    for (const std::string& v : a.values("lang")) {
        LanguageChoice choice = LanguageChoice::Shipped;
        if (!ParseLanguage(v, &choice)) {
            *error = text(Tr::tr("bad --lang value '%1' (shipped, en or zh_CN)").arg(qs(v)));
            return false;
        }
        options->language = v;
    }
    for (const std::string& v : a.values("capture")) {
        if (v.empty()) {
            *error = text(Tr::tr("--capture needs a file name"));
            return false;
        }
        options->captureFile = v;
    }
    if (a.isSet("replay")) options->replayFile = a.value("replay");
    for (const std::string& v : a.values("replay-speed")) {
        static const std::pair<const char*, double> kSpeeds[] = {
            {"1", 1}, {"2", 2}, {"5", 5}, {"10", 10}, {"max", 0}};
        bool known = false;
        for (const auto& [text, speed] : kSpeeds) {
            if (v == text) {
                options->replaySpeed = speed;
                known = true;
            }
        }
        if (!known) {
            *error = text(Tr::tr("bad --replay-speed value '%1' (1, 2, 5, 10 or max)").arg(qs(v)));
            return false;
        }
    }
    if (options->replayFile.empty() && a.isSet("replay-speed")) {
        *error = text(Tr::tr("--replay-speed needs --replay FILE"));
        return false;
    }
    options->simulate = a.isSet("simulate");
    options->listPorts = a.isSet("list-ports");
    options->reconnect = a.isSet("reconnect");
    options->showMonitor = a.isSet("monitor");
    options->fastLine = a.isSet("fast-line");
    options->showHelp = a.isSet("help");
    options->showVersion = a.isSet("version");
    return true;
}

}  // namespace

bool ParseConsoleOptions(const std::vector<std::string>& args, ConsoleOptions* options, std::string* error)
{
    const std::vector<std::string> words = consoleWords(args);
    ConsoleOptions parsed = *options;
    std::string why;
    const bool ok = CheckInOrder(
        words,
        [&](const std::vector<std::string>& w, bool complete, std::string* e) {
            parsed = *options;
            return parseWords(w, complete, &parsed, e);
        },
        &why);
    if (!ok) {
        *error = why;
        options->badDevice = parsed.badDevice;
        return false;
    }
    *options = parsed;
    return true;
}
