// drive-sim: a simulated drive controller on a pseudo-terminal. Prints the
// device path to open (one line), then serves until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdio>
#include <cstring>

#include "tools/sim/simulator.h"

namespace {

void Usage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: drive-sim [--help | --version]\n"
                 "Simulates the drive controller as a Modbus RTU slave (address 1) on a\n"
                 "pseudo-terminal. Prints the device path to give the console, e.g.\n"
                 "  drive-console --com 1=<path>\n"
                 "and serves until interrupted (SIGINT or SIGTERM).\n");
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("drive-sim %s\n", DSC_VERSION);
            return 0;
        }
        std::fprintf(stderr, "drive-sim: unknown argument '%s'\n", argv[i]);
        Usage(stderr);
        return 2;
    }

    // Block the stop signals before the serving thread starts, so that it
    // inherits the mask and only sigwait below ever sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::Simulator simulator;
    const std::string path = simulator.start();
    if (path.empty()) {
        std::fprintf(stderr, "drive-sim: %s\n", simulator.error().c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.stop();
    return 0;
}
