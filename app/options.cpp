#include "app/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/arguments.h"
#include "app/language.h"
#include "model/panel_texts.h"
#include "model/uir_ids.h"
#include "platform/port/net_address.h"
#include "platform/port/serial.h"

namespace {

const std::vector<ArgumentOption> kOptions = {
    {"com", "N=DEVICE", "open COM N (1..20) on DEVICE; repeatable"},
    {"simulate", nullptr, "bind COM4 to the built-in simulated controller and open it"},
    {"list-ports", nullptr, "print the serial devices present, one a line, and exit"},
    {"reconnect", nullptr, "reconnect automatically when the device goes and comes back"},
    {"screenshots", "DIR", "render every panel and page to PNG in DIR and exit"},
    {"screenshot-delay", "S", "open the port (panel settings) and poll S seconds before the pictures"},
    {"monitor", nullptr, "open the monitor window at start"},
    {"record", "FILE.csv", "record every status reply to FILE.csv for the whole run"},
    {"capture", "FILE.pcapng", "capture every frame on the line to FILE.pcapng for the whole run"},
    {"fast-line", nullptr, nullptr},  // its help names the port panel's button: see ConsoleUsage
    {"lang", "LANG", "the language of this run: shipped (the panels as shipped), en or zh_CN"},
    {"replay", "FILE.pcapng", "play a capture of the line back in place of a port; nothing is written"},
    {"replay-speed", "1|2|5|10|max", "the pace of --replay against the captured one (1)"},
    {"help", nullptr, "show this text"},
    {"version", nullptr, "print the version and exit"},
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

const char* ConsoleUsage()
{
    // The button is named as the port panel shows it.
    static const std::string fastLine = "line-rate polling on for this run (effective at " +
                                        PanelText("sample5.uir", uir::PANEL_COM, "CONFIGURE") + ")";
    static const std::string usage = [] {
        std::vector<ArgumentOption> shown = kOptions;
        for (ArgumentOption& o : shown) {
            if (std::string(o.name) == "fast-line") o.help = fastLine.c_str();
        }
        return "usage: drive-console [options]\n" + UsageLines(shown);
    }();
    return usage.c_str();
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
        *error = "unknown argument '" + positional.front() + "'";
        return false;
    }
    for (const std::string& v : a.values("com")) {
        // Checked before it is bound: nothing is opened with a device that
        // cannot be one.
        const std::size_t eq = v.find('=');
        const std::string problem =
            eq == std::string::npos ? std::string() : netport::NetworkPathProblem(v.substr(eq + 1));
        if (!problem.empty()) {
            *error = "bad --com value '" + v + "': " + problem;
            options->badDevice = true;
            return false;
        }
        if (!ParseComOption(v)) {
            *error = "bad --com value '" + v + "' (expected N=DEVICE with N in 1..20)";
            return false;
        }
    }
    if (a.isSet("screenshots")) options->screenshotDir = a.value("screenshots");
    for (const std::string& v : a.values("screenshot-delay")) {
        if (!parseSeconds(v, &options->screenshotDelay)) {
            *error = "bad --screenshot-delay value '" + v + "' (seconds, 0..86400)";
            return false;
        }
    }
    for (const std::string& v : a.values("record")) {
        if (v.empty()) {
            *error = "--record needs a file name";
            return false;
        }
        options->recordFile = v;
    }
    for (const std::string& v : a.values("lang")) {
        LanguageChoice choice = LanguageChoice::Shipped;
        if (!ParseLanguage(v, &choice)) {
            *error = "bad --lang value '" + v + "' (shipped, en or zh_CN)";
            return false;
        }
        options->language = v;
    }
    for (const std::string& v : a.values("capture")) {
        if (v.empty()) {
            *error = "--capture needs a file name";
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
            *error = "bad --replay-speed value '" + v + "' (1, 2, 5, 10 or max)";
            return false;
        }
    }
    if (options->replayFile.empty() && a.isSet("replay-speed")) {
        *error = "--replay-speed needs --replay FILE";
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
