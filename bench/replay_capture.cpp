// Makes the capture bench/replay_bench.sh plays back: a line-rate session of
// the simulated controller at BAUD (19200) 8O1, as the console would capture it.
//   replay_capture FILE.pcapng SECONDS [BAUD]
// The simulator runs in this process on its own clock, frozen and moved on
// by the times of the exchanges: the password, then the status block read
// back to back (each request t3.5 after the reply before), the password
// again every 10 s, and a fault that comes and goes every ten minutes. Each
// request and reply is a packet with the time its last byte would be on the
// line, as the console's capture stamps them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "modbus/capture_file.h"
#include "modbus/modbus.h"
#include "model/data_item.h"
#include "platform/port/loop_port.h"
#include "serial/fast_line.h"
#include "tools/sim/simulator.h"

namespace {

long g_baud = 19200;
constexpr std::int64_t kAnswerUs = 1500;  // the controller's own time to answer
constexpr std::int64_t kPasswordEveryUs = 10000000;
constexpr std::int64_t kFaultEveryUs = 600000000;  // overVolt for a minute, every ten

std::int64_t lineUs(std::size_t bytes)
{
    return static_cast<std::int64_t>(bytes) * 11 * 1000000 / g_baud;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: replay_capture FILE.pcapng SECONDS [BAUD]\n");
        return 2;
    }
    char* end = nullptr;
    const double seconds = std::strtod(argv[2], &end);
    const bool secondsGood = *end == '\0' && seconds > 0 && seconds <= 86400;
    if (argc == 4) g_baud = std::strtol(argv[3], &end, 10);
    if (!secondsGood || (argc == 4 && (*end != '\0' || g_baud < 1200 || g_baud > 115200))) {
        std::fprintf(stderr, "replay_capture: SECONDS in 0..86400, BAUD in 1200..115200\n");
        return 2;
    }
    const std::string path = argv[1];
    const auto endUs = static_cast<std::int64_t>(seconds * 1e6);
    fillDataItems();
    sim::Simulator sim;
    const std::string loop = sim.startInProcess();
    if (loop.empty()) {
        std::fprintf(stderr, "replay_capture: %s\n", sim.error().c_str());
        return 1;
    }
    for (int reg = 2762; reg <= 2764; ++reg) sim.setRegister(reg, 0);
    sim.freezeTime();
    SerialSettings settings;
    settings.baud = g_baud;
    settings.parity = 1;
    int error = 0;
    std::unique_ptr<SerialDevice> port = LoopPortDriver().open(loop, settings, &error);
    if (!port) {
        std::fprintf(stderr, "replay_capture: cannot open %s\n", loop.c_str());
        return 1;
    }

    CaptureEncoder out;
    out.section("drive-console replay bench");
    CaptureInterface i;
    i.name = "COM4 /dev/ttyUSB0 " + std::to_string(g_baud) + " 8O1";
    i.description = i.name + ", line rate, reply time-out 500 ms";
    i.speed = g_baud;
    const std::uint32_t id = out.interface(i);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::int64_t silenceUs = InterFrameSilenceUs(g_baud, 1, 8, 1);

    unsigned char status[8];
    unsigned char password[8];
    modbus_build_frame(3, kStatusTable.items[0].address.load(), kStatusTable.count, status);
    modbus_build_frame(6, communication_password_hci.address.load(),
                       static_cast<int>(communication_password_hci.value.load()), password);
    const std::int64_t startUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
    std::int64_t t = 0;
    std::int64_t nextPassword = 0;
    std::int64_t simMs = 0;
    std::uint64_t exchanges = 0;
    bool faultOn = false;
    while (t < endUs) {
        const bool wantFault =
            t % kFaultEveryUs >= kFaultEveryUs / 2 && t % kFaultEveryUs < kFaultEveryUs / 2 + 60000000;
        if (wantFault != faultOn) {
            sim.setRegister(2762, wantFault ? 0x0002 : 0);
            faultOn = wantFault;
        }
        const bool pw = t >= nextPassword;
        if (pw) nextPassword = t + kPasswordEveryUs;
        const unsigned char* request = pw ? password : status;
        sim.advanceTime(t / 1000 - simMs);
        simMs = t / 1000;
        port->write(reinterpret_cast<const char*>(request), 8);
        const std::int64_t sentUs = t + lineUs(8);
        out.packet(id, startUs + sentUs, CaptureDirection::Outbound, request, 8, "");
        std::vector<unsigned char> reply(256);
        int n = 0;
        const std::size_t expected = pw ? 8 : 5 + 2 * static_cast<std::size_t>(kStatusTable.count);
        while (n < static_cast<int>(expected)) {
            const int got =
                port->read(reinterpret_cast<char*>(reply.data()) + n, static_cast<int>(expected) - n, 1.0);
            if (got <= 0) break;
            n += got;
        }
        const std::int64_t replyUs = sentUs + kAnswerUs + lineUs(static_cast<std::size_t>(n));
        out.packet(id, startUs + replyUs, CaptureDirection::Inbound, reply.data(),
                   static_cast<std::size_t>(n), pw ? "password echo" : "accepted");
        t = replyUs + silenceUs;
        ++exchanges;
        if (out.bytes().size() > (1u << 20)) {
            file.write(reinterpret_cast<const char*>(out.bytes().data()),
                       static_cast<std::streamsize>(out.bytes().size()));
            out.clear();
        }
    }
    out.interfaceEnd(id, startUs + t, "closed by the operator");
    file.write(reinterpret_cast<const char*>(out.bytes().data()),
               static_cast<std::streamsize>(out.bytes().size()));
    sim.stop();
    if (!file) {
        std::fprintf(stderr, "replay_capture: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("exchanges %llu\n", static_cast<unsigned long long>(exchanges));
    return 0;
}
