// The portable entry: parses the console's options and runs WinMain.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_language.h"
#include "app/command_line.h"
#include "app/console_extras.h"
#include "app/mainwin.h"
#include "app/replay_window.h"
#include "app/version.h"
#include "engine/console_state.h"
#include "platform/os/console_io.h"
#include "platform/port/port_discovery.h"
#include "serial/port_binding.h"

int main(int argc, char** argv)
{
    // The one start-up reset, window and commands alike, before the options
    // fill the COM table.
    ResetConsoleState();
    UseStartingConsole();
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    // The commands for scripts run without a display and without widgets.
    if (!args.empty() && IsCommandName(args[0])) return RunCommand(args, stdout, stderr);
    ConsoleOptions options;
    std::string error;
    if (!ParseConsoleOptions(args, &options, &error)) {
        // Told in the language of --lang or the kept one, like the commands'
        // faults: parsed once more with its translators in place.
        const CommandLanguage language(LanguageArgument(args), stderr);
        ConsoleOptions again;
        ParseConsoleOptions(args, &again, &error);
        std::fprintf(stderr, "drive-console: %s\n%s", error.c_str(), ConsoleUsage().c_str());
        return options.badDevice ? 3 : 2;
    }
    if (options.showHelp) {
        const CommandLanguage language(options.language, stderr);
        std::fputs(ConsoleUsage().c_str(), stdout);
        std::fputs(CommandUsage().c_str(), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("drive-console %s\n", ConsoleVersion());
        return 0;
    }
    if (options.listPorts) {
        for (const SerialPortEntry& e : ListSerialPorts()) std::printf("%s\n", PortListLine(e).c_str());
        for (const std::string& problem : LoadPortChoices()) {
            std::fprintf(stderr, "drive-console: %s\n", problem.c_str());
        }
        // The network devices bound, by --com or the settings.
        for (const BoundNetworkDevice& d : BoundNetworkDevices()) {
            std::printf("%s\t-\tnetwork device of COM%d\n", d.path.c_str(), d.port);
        }
        return 0;
    }
#ifndef _WIN32
    // Pictures are rendered offscreen, with or without a display. (Windows
    // always has a desktop, and its own platform draws with the system's fonts.)
    if (!options.screenshotDir.empty()) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
#endif
    if (!options.replayFile.empty() && options.simulate) {
        std::fprintf(stderr, "drive-console: --replay and --simulate exclude each other\n");
        return 2;
    }
    if (!options.replayFile.empty() && !StartWindowReplay(options.replayFile, options.replaySpeed, &error)) {
        std::fprintf(stderr, "drive-console: %s\n", error.c_str());
        return 3;
    }
    if (options.simulate && !StartBuiltInSimulator(&error)) {
        std::fprintf(stderr, "drive-console: simulated controller: %s\n", error.c_str());
        return 1;
    }
    const int rc = WinMain(argc, argv, options);
    StopBuiltInSimulator();
    StopWindowReplay();
    return rc;
}
