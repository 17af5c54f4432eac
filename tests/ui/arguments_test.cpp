// The window's options and the commands' arguments: what each word sets, and
// which word a refusal names when several are wrong (the first, always).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/options.h"
#include "platform/port/serial.h"

namespace {

// The first line a command printed on its error stream, and its status.
std::pair<int, std::string> command(const std::vector<std::string>& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = RunCommand(args, out, err);
    std::rewind(err);
    char line[512] = {};
    if (std::fgets(line, sizeof line, err) == nullptr) line[0] = '\0';
    std::fclose(out);
    std::fclose(err);
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return {status, text};
}

}  // namespace

TEST(ConsoleArguments, EveryOptionSetsItsFieldAndQtsOwnPassThrough)
{
    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(ParseConsoleOptions(
        {"-platform",   "offscreen", "--com",         "7=/dev/ttyUSB3", "--simulate",         "--list-ports",
         "--reconnect", "-reverse",  "--screenshots", "-pictures",      "--screenshot-delay", "2.5",
         "--monitor",   "--record",  "run.csv",       "--capture",      "run.pcapng",         "--fast-line",
         "-h",          "--version"},
        &o, &error))
        << error;
    EXPECT_EQ(ComDevicePath(7), "/dev/ttyUSB3");
    EXPECT_TRUE(o.simulate && o.listPorts && o.reconnect && o.showMonitor && o.fastLine);
    EXPECT_TRUE(o.showHelp && o.showVersion);
    EXPECT_EQ(o.screenshotDir, "-pictures") << "an option's value is taken as it is";
    EXPECT_EQ(o.screenshotDelay, 2.5);
    EXPECT_EQ(o.recordFile, "run.csv");
    EXPECT_EQ(o.captureFile, "run.pcapng");

    ConsoleOptions none;
    ASSERT_TRUE(ParseConsoleOptions({}, &none, &error));
    EXPECT_FALSE(none.simulate || none.showHelp || none.fastLine);
    const std::string usage = ConsoleUsage();
    EXPECT_EQ(usage.rfind("usage: drive-console [options]\n  --com N=DEVICE       open", 0), 0u);
    // The port panel's button by the name it shows, without its accelerator mark.
    EXPECT_NE(
        usage.find("  --fast-line          line-rate polling on for this run (effective at Configure)\n"),
        std::string::npos)
        << usage;
    EXPECT_EQ(usage.find("__"), std::string::npos) << usage;
}

TEST(ConsoleArguments, ARefusalNamesTheFirstWrongWord)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown argument '--bogus'"},
        {{"stray", "--bogus"}, "unknown argument 'stray'"},
        {{"--simulate=1"}, "unknown argument '--simulate=1'"},
        {{"-"}, "unknown argument '-'"},
        {{"--simulate", "--record"}, "--record needs a value"},
        {{"--record", "", "--bogus"}, "--record needs a file name"},
        {{"--capture", "", "--bogus"}, "--capture needs a file name"},
        {{"--screenshot-delay", "86401"}, "bad --screenshot-delay value '86401' (seconds, 0..86400)"},
        {{"--com", "21=/dev/x", "--bogus"},
         "bad --com value '21=/dev/x' (expected N=DEVICE with N in 1..20)"},
        {{"--com", "--simulate"}, "bad --com value '--simulate' (expected N=DEVICE with N in 1..20)"},
    };
    for (const auto& [args, message] : cases) {
        ConsoleOptions o;
        std::string error;
        EXPECT_FALSE(ParseConsoleOptions(args, &o, &error)) << message;
        EXPECT_EQ(error, message);
        EXPECT_FALSE(o.badDevice) << message;
    }
}

TEST(ConsoleArguments, AMalformedNetworkDeviceIsRefusedByNameBeforeItIsBound)
{
    ConsoleOptions o;
    std::string error;
    const std::string unbound = ComDevicePath(3);  // the system's own name for COM3
    EXPECT_FALSE(ParseConsoleOptions({"--com", "3=rfc2217://[::1]", "--simulate"}, &o, &error));
    EXPECT_EQ(error,
              "bad --com value '3=rfc2217://[::1]': bad network device 'rfc2217://[::1]': no port "
              "(HOST:PORT)");
    EXPECT_TRUE(o.badDevice) << "the program ends with status 3 on it";
    EXPECT_EQ(ComDevicePath(3), unbound) << "nothing bound";
    ASSERT_TRUE(ParseConsoleOptions({"--com", "3=tcp://[::1]:502"}, &o, &error)) << error;
    EXPECT_EQ(ComDevicePath(3), "tcp://[::1]:502");
    SetComDevice(3, "");
}

TEST(CommandArguments, ARefusalNamesTheFirstWrongWordAndEndsWithStatus3)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"verify", "--out", "x.json"}, "unknown argument '--out' for verify"},
        {{"dump", "-h"}, "unknown argument '-h' for dump"},
        {{"dump", "--help"}, "unknown argument '--help' for dump"},
        {{"verify", "--allow-hall-fault-mask"}, "unknown argument '--allow-hall-fault-mask' for verify"},
        {{"restore", "a.json", "b.json"}, "unknown argument 'b.json' for restore"},
        {{"restore", "--dry-run=1", "--bogus"}, "unknown argument '--dry-run=1' for restore"},
        {{"dump", "--device"}, "--device needs a value"},
        {{"watch", "--capture"}, "--capture needs a value"},
        {{"dump", "--capture", "", "--bogus"}, "--capture needs a file name"},
        {{"dump", "--baud", "300", "--bogus"}, "bad --baud '300' (1200, 2400, 4800, 9600, 19200 or 115200)"},
        {{"dump", "--device", "--baud", "--timeout", "0"},
         "bad --timeout '0' (seconds, above 0 and up to 600)"},
        {{"restore", "f.json", "--only", "2550,9"},
         "bad --only register '9' (a parameter register, e.g. 2550)"},
        {{"verify", "--device", "/dev/null"}, "verify needs a FILE"},
        {{"restore", "f.json", "--parity", "even"}, "restore needs --device PATH"},
        {{"dump", "--device", "telnet://bench:23"},
         "bad --device: bad network device 'telnet://bench:23': unknown kind 'telnet' (write "
         "tcp://HOST:PORT or rfc2217://HOST:PORT)"},
    };
    for (const auto& [args, message] : cases) {
        const auto [status, line] = command(args);
        EXPECT_EQ(status, kCommandBadInput) << message;
        EXPECT_EQ(line, "drive-console: " + message);
    }
}
