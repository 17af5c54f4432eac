// drive-sim: a simulated drive controller on a pseudo-terminal. Prints the
// device path to open (one line), then serves until SIGINT or SIGTERM.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/sim/simulator.h"

namespace {

void Usage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: drive-sim [--line-rate BAUD] [--faulty-line N] [--schedule FILE]\n"
                 "                 [--help | --version]\n"
                 "Simulates the drive controller as a Modbus RTU slave (address 1) on a\n"
                 "pseudo-terminal. Prints the device path to give the console, e.g.\n"
                 "  drive-console --com 1=<path>\n"
                 "and serves until interrupted (SIGINT or SIGTERM).\n"
                 "  --line-rate BAUD  hold each reply as long as a line at BAUD bit/s\n"
                 "                    would take to carry the request and the reply\n"
                 "  --faulty-line N   lose the reply to every Nth request (2..1000),\n"
                 "                    alternately by silence and by a damaged CRC\n"
                 "  --schedule FILE   set status registers on a timetable: one step a line,\n"
                 "                    SECONDS REGISTER VALUE, e.g. \"5 2762 0x0002\" turns\n"
                 "                    fault bit 1 of 2762 on 5 s after the start\n");
}

}  // namespace

int main(int argc, char** argv)
{
    long lineRate = 0;
    long faultyEvery = 0;
    std::vector<sim::ScheduleStep> steps;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("drive-sim %s\n", DSC_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--line-rate") == 0 && i + 1 < argc) {
            char* end = nullptr;
            lineRate = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || lineRate < 1 || lineRate > 1000000) {
                std::fprintf(stderr, "drive-sim: bad --line-rate value '%s'\n", argv[i]);
                return 2;
            }
            continue;
        }
        if (std::strcmp(argv[i], "--faulty-line") == 0 && i + 1 < argc) {
            char* end = nullptr;
            faultyEvery = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || faultyEvery < 2 || faultyEvery > 1000) {
                std::fprintf(stderr, "drive-sim: bad --faulty-line value '%s'\n", argv[i]);
                return 2;
            }
            continue;
        }
        if (std::strcmp(argv[i], "--schedule") == 0 && i + 1 < argc) {
            std::ifstream file(argv[++i]);
            std::stringstream text;
            text << file.rdbuf();
            std::string error;
            if (!file) error = std::strerror(errno);
            if (!error.empty() || !sim::ParseSchedule(text.str(), &steps, &error)) {
                std::fprintf(stderr, "drive-sim: %s: %s\n", argv[i], error.c_str());
                return 2;
            }
            continue;
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
    simulator.setLineRate(lineRate);
    simulator.setFaultyLine(static_cast<int>(faultyEvery));
    const std::int64_t now = simulator.timeMs();
    for (sim::ScheduleStep& step : steps) step.atMs += now;
    simulator.schedule(steps);
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
