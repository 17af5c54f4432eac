// The driver of bench/capture_bench.sh: polls the status block of a
// controller as `watch` does (the command line's port, communication thread
// and password timers), with the line captured or not, and prints what the
// polling cost this process:
//   capture_driver --device PATH --seconds S [--fast-line] [--capture FILE]
// Output, one "name value" a line: cpu_s, wall_s, replies (status replies
// taken while measured), max_rss_kib, and with --capture: packets (written to
// FILE), kept_bytes and kept_records (the last ten minutes in memory),
// ring_bytes (its room).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "app/command_port.h"
#include "app/version.h"
#include "engine/line_capture.h"
#include "modbus/line_events.h"
#include "serial/line_machine.h"

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int usage()
{
    std::fprintf(stderr, "usage: capture_driver --device PATH --seconds S [--fast-line] [--capture FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandPortOptions port;
    double seconds = 0;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (std::strcmp(argv[i], "--device") == 0 && value) {
            port.device = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && value) {
            seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--capture") == 0 && value) {
            file = argv[++i];
        } else if (std::strcmp(argv[i], "--fast-line") == 0) {
            port.fastLine = true;
        } else {
            return usage();
        }
    }
    if (port.device.empty() || seconds <= 0) return usage();

    std::optional<LineCapture> capture;
    if (!file.empty()) {
        LineCaptureOptions options;
        options.application = std::string("drive-console ") + ConsoleVersion();
        capture.emplace(TheLine(), options);
        std::string error;
        if (!capture->start(file, &error)) {
            std::fprintf(stderr, "capture_driver: %s\n", error.c_str());
            return 3;
        }
    }
    {
        CommandPort line(port, CommandReads::Status);
        if (!line.open()) {
            std::fprintf(stderr, "capture_driver: cannot open %s\n", port.device.c_str());
            return 3;
        }
        const auto start = std::chrono::steady_clock::now();
        while (ReadLinkCounters().repliesOk < 3) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(10)) {
                std::fprintf(stderr, "capture_driver: no answer from the controller\n");
                return 2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const double cpu0 = cpuSeconds();
        const std::uint64_t replies0 = ReadLinkCounters().repliesOk;
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double cpu = cpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("cpu_s %.3f\nwall_s %.3f\nreplies %llu\n", cpu, wall,
                    static_cast<unsigned long long>(ReadLinkCounters().repliesOk - replies0));
    }
    if (capture) {
        capture->stop();
        const std::string error = capture->takeError();
        if (!error.empty()) std::fprintf(stderr, "capture_driver: %s\n", error.c_str());
        const CaptureRing::Stats kept = capture->kept();
        std::printf("packets %llu\nkept_bytes %zu\nkept_records %llu\nring_bytes %zu\n",
                    static_cast<unsigned long long>(capture->packetsWritten()), kept.used,
                    static_cast<unsigned long long>(kept.records), kept.capacity);
    }
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("max_rss_kib %ld\n", u.ru_maxrss);
    return 0;
}
