#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/mainwin.h"
#include "platform/serial.h"

const char* ConsoleUsage()
{
    return "usage: drive-console [options]\n"
           "  --com N=DEVICE       open COM N (1..20) on DEVICE; repeatable\n"
           "  --simulate           bind COM4 to the built-in simulated controller and open it\n"
           "  --list-ports         print the serial devices present, one a line, and exit\n"
           "  --reconnect          reconnect automatically when the device goes and comes back\n"
           "  --screenshots DIR    render every panel and page to PNG in DIR and exit\n"
           "  --screenshot-delay S open the port (panel settings) and poll S seconds before the pictures\n"
           "  --monitor            open the monitor window at start\n"
           "  --record FILE.csv    record every status reply to FILE.csv for the whole run\n"
           "  --fast-line          line-rate polling on for this run (effective at __Configure)\n"
           "  --help               show this text\n"
           "  --version            print the version and exit\n";
}

bool ParseConsoleOptions(const std::vector<std::string>& args, ConsoleOptions* options, std::string* error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--com") {
            if (!value(&v)) return false;
            if (!ParseComOption(v)) {
                *error = "bad --com value '" + v + "' (expected N=DEVICE with N in 1..20)";
                return false;
            }
        } else if (a == "--simulate") {
            options->simulate = true;
        } else if (a == "--list-ports") {
            options->listPorts = true;
        } else if (a == "--reconnect") {
            options->reconnect = true;
        } else if (a == "--screenshots") {
            if (!value(&v)) return false;
            options->screenshotDir = v;
        } else if (a == "--screenshot-delay") {
            if (!value(&v)) return false;
            char* end = nullptr;
            errno = 0;
            const double d = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != '\0' || errno != 0 || !std::isfinite(d) || d < 0 || d > 86400) {
                *error = "bad --screenshot-delay value '" + v + "' (seconds, 0..86400)";
                return false;
            }
            options->screenshotDelay = d;
        } else if (a == "--monitor") {
            options->showMonitor = true;
        } else if (a == "--record") {
            if (!value(&v)) return false;
            if (v.empty()) {
                *error = "--record needs a file name";
                return false;
            }
            options->recordFile = v;
        } else if (a == "--fast-line") {
            options->fastLine = true;
        } else if (a == "--help" || a == "-h") {
            options->showHelp = true;
        } else if (a == "--version") {
            options->showVersion = true;
        } else if (a.rfind('-', 0) == 0 && a.size() > 1 && a[1] != '-') {
            // Qt's own options (-platform, -style ...) pass through to QApplication.
            if (i + 1 < args.size() && args[i + 1].rfind('-', 0) != 0) ++i;
        } else {
            *error = "unknown argument '" + a + "'";
            return false;
        }
    }
    return true;
}
