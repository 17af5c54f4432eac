// The Windows console under Wine against the simulated controller on a
// pseudo-terminal, mapped to COM4 of the Wine prefix: what goes over the line
// must be what the Linux console sends, at the same cadence. Also the Windows
// serial driver on an echoing line. Run by tools/run-windows-tests.sh, which
// sets:
//   WINEPREFIX           the Wine prefix (its dosdevices folder holds the COM links)
//   DSC_WINE_CONSOLE     drive-console.exe, unpacked from the zip
//   DSC_WINE_TESTS       the folder of the Windows test programs
//   DSC_WINE_DLL_PATH    WINEPATH for them: the toolchain's DLL folders
//   DSC_WINE_SHOTS       where the pictures of every panel go
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/data_item.h"
#include "tests/support/ser2net.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

// The link in the Wine prefix that makes COM `n`.
fs::path ComLink(int n)
{
    return fs::path(Env("WINEPREFIX")) / "dosdevices" / ("com" + std::to_string(n));
}

// COM `n` of the Wine prefix leads to `device` from now on.
void MapComPort(int n, const std::string& device)
{
    const fs::path link = ComLink(n);
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_symlink(device, link);
}

constexpr long kLineRate = 19200;

struct Outcome {
    int exitCode = -1;
    bool finished = false;
    std::string out;
    std::string err;
};

// Runs `program` with `args` and `input` as its standard input, and waits
// up to `timeout`; a program still running then is killed (this process
// started it, and only it is killed).
Outcome RunProgram(const QString& program, const QStringList& args, std::chrono::seconds timeout,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                   const QByteArray& input = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Outcome r;
    if (!p.waitForStarted(10000)) return r;
    p.write(input);
    p.closeWriteChannel();
    r.finished = p.waitForFinished(static_cast<int>(std::chrono::milliseconds(timeout).count()));
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

// The console finds its DLLs and plugins beside it, as on a technician's
// machine: nothing from the toolchain may stand in for a file the zip lacks.
QProcessEnvironment ConsoleEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WINEPATH"));
    env.remove(QStringLiteral("QT_PLUGIN_PATH"));
    return env;
}

Outcome RunUnderWine(const QStringList& args, std::chrono::seconds timeout, const QByteArray& input = {})
{
    return RunProgram(QStringLiteral("wine"),
                      QStringList{QString::fromStdString(Env("DSC_WINE_CONSOLE"))} + args, timeout,
                      ConsoleEnvironment(), input);
}

// What a request was, without its timing: function, address, count or value.
std::string Shape(const sim::RequestRecord& r)
{
    return std::to_string(r.function) + ":" + std::to_string(r.address) + ":" +
           std::to_string(r.quantityOrValue);
}

std::vector<std::string> Shapes(const std::vector<sim::RequestRecord>& log, std::size_t count)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < log.size() && i < count; ++i) out.push_back(Shape(log[i]));
    return out;
}

// The median time between successive status reads.
std::int64_t MedianStatusSpacing(const std::vector<sim::RequestRecord>& log)
{
    std::vector<std::int64_t> gaps;
    std::int64_t last = -1;
    for (const sim::RequestRecord& r : log) {
        if (r.function != 3 || r.address != kStatusTable.first_register) continue;
        if (last >= 0) gaps.push_back(r.receivedMs - last);
        last = r.receivedMs;
    }
    if (gaps.empty()) return -1;
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
}

class WineConsole : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Env("WINEPREFIX").empty() || Env("DSC_WINE_CONSOLE").empty()) {
            GTEST_SKIP() << "WINEPREFIX and DSC_WINE_CONSOLE name no Windows console to run";
        }
        // Replies take as long as on a 19200 bit/s line: a reply that came at
        // once would beat the end of the pass that sent its request, which
        // no real line allows.
        sim.setLineRate(kLineRate);
        simPath = sim.start();
        ASSERT_FALSE(simPath.empty()) << sim.error();
        MapComPort(4, simPath);
    }
    void TearDown() override { sim.stop(); }

    sim::Simulator sim;
    std::string simPath;
};

// What the console sends from the open until it polls the status: the
// password, then each of the six pages once, in order, then the status.
std::vector<std::string> Opening()
{
    std::vector<std::string> out = {"6:" + std::to_string(PASSWORD_REGISTER) + ":" +
                                    std::to_string(PASSWORD_VALUE)};
    for (const ItemTable& t : kPageTables)
        out.push_back("3:" + std::to_string(t.first_register) + ":" + std::to_string(t.count));
    out.push_back("3:" + std::to_string(kStatusTable.first_register) + ":" +
                  std::to_string(kStatusTable.count));
    return out;
}

}  // namespace

TEST_F(WineConsole, PollsAsTheLinuxConsoleDoesAndRendersEveryPanel)
{
    const std::string shots =
        Env("DSC_WINE_SHOTS").empty() ? ::testing::TempDir() + "/wine-shots" : Env("DSC_WINE_SHOTS");
    fs::remove_all(shots);
    const auto started = std::chrono::steady_clock::now();
    // The panel's defaults open COM4 at 19200 bit/s, 8O1; eight seconds of
    // polling, then the pictures and an orderly quit.
    const Outcome win = RunProgram(
        QStringLiteral("xvfb-run"),
        {"-a", "-s", "-screen 0 1366x768x24", "wine", QString::fromStdString(Env("DSC_WINE_CONSOLE")),
         "--screenshots", QString::fromStdString(shots), "--screenshot-delay", "8"},
        120s, ConsoleEnvironment());
    ASSERT_TRUE(win.finished) << win.err;
    EXPECT_EQ(win.exitCode, 0) << win.err;
    const auto windowsLog = sim.requests();
    std::cout << "[ wine run ] "
              << std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
                     .count()
              << " s, " << windowsLog.size() << " requests\n";

    // The same with the Linux console, against a simulator of its own.
    sim::Simulator linuxSim;
    linuxSim.setLineRate(kLineRate);
    const std::string linuxPath = linuxSim.start();
    ASSERT_FALSE(linuxPath.empty());
    const Outcome lin =
        RunProgram(QStringLiteral(DSC_LINUX_CONSOLE),
                   {"--com", QString::fromStdString("4=" + linuxPath), "--screenshots",
                    QString::fromStdString(::testing::TempDir() + "/linux-shots"), "--screenshot-delay", "8"},
                   60s);
    ASSERT_TRUE(lin.finished);
    const auto linuxLog = linuxSim.requests();
    linuxSim.stop();

    // Same frames: the opening exchange byte for byte, then status polling only.
    const std::vector<std::string> kOpening = Opening();
    ASSERT_GE(windowsLog.size(), kOpening.size() + 5);
    EXPECT_EQ(Shapes(windowsLog, kOpening.size()), kOpening);
    EXPECT_EQ(Shapes(linuxLog, kOpening.size()), kOpening);
    for (std::size_t i = 0; i < kOpening.size(); ++i) {
        EXPECT_EQ(windowsLog[i].raw, linuxLog[i].raw) << "request " << i;
        EXPECT_GE(windowsLog[i].repliedMs, 0) << "request " << i << " was answered";
    }
    for (std::size_t i = kOpening.size(); i < windowsLog.size(); ++i) {
        EXPECT_EQ(Shape(windowsLog[i]), kOpening.back()) << "request " << i;
        // One request at a time: each follows the reply to the one before.
        EXPECT_GE(windowsLog[i].receivedMs, windowsLog[i - 1].repliedMs) << "request " << i;
    }
    // Same cadence: a status read every 100 ms pass that finds the frame
    // ended (more than 200 ms of silence), give or take one pass.
    const std::int64_t winSpacing = MedianStatusSpacing(windowsLog);
    const std::int64_t linSpacing = MedianStatusSpacing(linuxLog);
    std::cout << "[ cadence  ] status read every " << winSpacing << " ms under Wine, " << linSpacing
              << " ms on Linux (median)\n";
    EXPECT_GT(winSpacing, 300);
    EXPECT_LT(winSpacing, 700);
    EXPECT_LE(std::abs(winSpacing - linSpacing), 50);

    // Every panel and page, and the dialogs, as pictures.
    for (const char* file : {"main.png", "com.png", "set.png", "set-1-basic.png", "set-2-temp.png",
                             "set-3-func.png", "set-4-throttle.png", "set-5-motor.png", "set-6-debug.png",
                             "debug.png", "debug-1-settings.png", "debug-2-test.png", "monitor.png",
                             "compare.png", "about.png", "reference.png", "com-devices.png"}) {
        std::error_code ec;
        EXPECT_GT(fs::file_size(fs::path(shots) / file, ec), 2000u) << file;
    }
}

// In Chinese, with the fonts Windows offers (here Wine's and the system's it
// finds), every character of the panels and windows is drawn, none as a box.
TEST_F(WineConsole, ChinesePanelsShowNoMissingGlyph)
{
    const std::string shots = ::testing::TempDir() + "/wine-shots-zh_CN";
    fs::remove_all(shots);
    const Outcome win = RunProgram(
        QStringLiteral("xvfb-run"),
        {"-a", "-s", "-screen 0 1366x768x24", "wine", QString::fromStdString(Env("DSC_WINE_CONSOLE")),
         "--lang", "zh_CN", "--screenshots", QString::fromStdString(shots), "--screenshot-delay", "1"},
        120s, ConsoleEnvironment());
    ASSERT_TRUE(win.finished) << win.err;
    EXPECT_EQ(win.exitCode, 0) << win.err;
    std::error_code ec;
    EXPECT_GT(fs::file_size(fs::path(shots) / "debug-2-test.png", ec), 2000u);
    std::ifstream glyphs(fs::path(shots) / "missing-glyphs.txt", std::ios::binary);
    ASSERT_TRUE(glyphs.good()) << "no missing-glyphs.txt beside the pictures";
    const std::string missing((std::istreambuf_iterator<char>(glyphs)), std::istreambuf_iterator<char>());
    EXPECT_EQ(missing, "");
}

TEST_F(WineConsole, RestoreWritesAParameterAndReportsItsOutcome)
{
    const std::string file = ::testing::TempDir() + "/over-volt.json";
    {
        std::ofstream f(file);
        f << R"({"format": "drive-console-parameters", "version": 1, "registers": [{"register": 2550, "word": 58}]})";
    }
    const QString windowsFile = QStringLiteral("Z:") + QString::fromStdString(file).replace('/', '\\');
    const Outcome verify = RunUnderWine({"verify", windowsFile, "--device", "COM4"}, 60s);
    EXPECT_EQ(verify.exitCode, 1) << verify.err;  // the controller holds 60
    EXPECT_NE(verify.out.find("2550"), std::string::npos) << verify.out;

    const std::size_t before = sim.requestCount();
    const Outcome restore = RunUnderWine({"restore", windowsFile, "--device", "COM4"}, 60s);
    ASSERT_TRUE(restore.finished);
    EXPECT_EQ(restore.exitCode, 0) << restore.out << restore.err;
    EXPECT_NE(restore.out.find("confirmed"), std::string::npos) << restore.out;
    EXPECT_EQ(sim.registerValue(2550), 58);
    const auto log = sim.requests();
    const auto writes =
        std::count_if(log.begin() + static_cast<std::ptrdiff_t>(std::min(before, log.size())), log.end(),
                      [](const sim::RequestRecord& r) { return r.function == 6 && r.address == 2550; });
    EXPECT_EQ(writes, 1);
}

// The Windows console reaches the controller through a real ser2net on the
// Linux side, in both kinds, over Windows sockets: verify sees the parameter
// that differs, and a restore through the COM port server is confirmed.
TEST_F(WineConsole, NetworkDevicesThroughSer2net)
{
    const std::string file = ::testing::TempDir() + "/over-volt-net.json";
    {
        std::ofstream f(file);
        f << R"({"format": "drive-console-parameters", "version": 1, "registers": [{"register": 2550, "word": 58}]})";
    }
    const QString windowsFile = QStringLiteral("Z:") + QString::fromStdString(file).replace('/', '\\');
    for (const auto kind : {testsupport::Ser2net::Kind::Raw, testsupport::Ser2net::Kind::ComPort}) {
        const testsupport::Ser2net server(simPath, kind);
        ASSERT_TRUE(server.started()) << server.error();
        SCOPED_TRACE(server.address());
        const QString device = QString::fromStdString(server.address());
        const Outcome verify = RunUnderWine({"verify", windowsFile, "--device", device}, 60s);
        EXPECT_EQ(verify.exitCode, 1) << verify.out << verify.err;  // the controller holds 60
        EXPECT_NE(verify.out.find("2550"), std::string::npos) << verify.out;
        if (kind != testsupport::Ser2net::Kind::ComPort) continue;
        const Outcome restore = RunUnderWine({"restore", windowsFile, "--device", device}, 60s);
        ASSERT_TRUE(restore.finished);
        EXPECT_EQ(restore.exitCode, 0) << restore.out << restore.err;
        EXPECT_NE(restore.out.find("confirmed"), std::string::npos) << restore.out;
        EXPECT_EQ(sim.registerValue(2550), 58);
    }
}

// serve under Wine answers on its standard output what the Linux one does:
// the console's identity and a status reply with the controller's words; the
// end of its input ends it with status 0.
TEST_F(WineConsole, ServeAnswersInfoAndStatus)
{
    // The error words pinned: the simulator's passing faults stay out of the way.
    const std::vector<std::pair<int, int>> pinned = {{2762, 0x0002}, {2763, 0}, {2764, 0}};
    for (const auto& [reg, word] : pinned)
        ASSERT_TRUE(sim.setRegister(reg, static_cast<std::uint16_t>(word)));
    const QByteArray requests =
        "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"console.info\"}\n"
        "{\"jsonrpc\":\"2.0\",\"id\":2,\"method\":\"status.read\"}\n";
    const Outcome r = RunUnderWine({"serve", "--device", "COM4"}, 90s, requests);
    ASSERT_TRUE(r.finished) << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<QJsonObject> answers;
    for (const QByteArray& line : QByteArray::fromStdString(r.out).split('\n')) {
        if (line.isEmpty()) continue;
        EXPECT_FALSE(line.endsWith('\r')) << "answers end in a bare line feed";
        const QJsonObject o = QJsonDocument::fromJson(line.trimmed()).object();
        if (o.contains("id")) answers.push_back(o);
    }
    ASSERT_EQ(answers.size(), 2u) << r.out << r.err;
    const QJsonObject info = answers[0].value("result").toObject();
    EXPECT_EQ(info.value("device").toString(), "COM4") << r.out;
    EXPECT_EQ(info.value("framing").toString(), "8O1");
    const QJsonObject status = answers[1].value("result").toObject();
    const QJsonArray values = status.value("values").toArray();
    ASSERT_EQ(values.size(), 26) << r.out;
    std::map<int, int> words;
    for (const auto& v : values)
        words[v.toObject().value("register").toInt()] = v.toObject().value("word").toInt();
    for (const auto& [reg, word] : pinned) EXPECT_EQ(words[reg], word) << reg;
    ASSERT_EQ(status.value("faults").toArray().size(), 1) << r.out;
    EXPECT_EQ(status.value("faults").toArray()[0].toObject().value("register").toInt(), 2762);
}

// Runs the cases `filter` of the Windows driver's test program under Wine,
// with `variable` set to `port`.
Outcome RunPortTests(const char* filter, const char* variable, const char* port)
{
    // The test program finds the toolchain's DLLs through Wine's search path.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPATH"), QString::fromStdString(Env("DSC_WINE_DLL_PATH")));
    env.insert(QString::fromUtf8(variable), QString::fromUtf8(port));
    return RunProgram(QStringLiteral("wine"),
                      {QString::fromStdString(Env("DSC_WINE_TESTS") + "/windows_port_test.exe"),
                       QStringLiteral("--gtest_filter=") + filter, "--gtest_brief=1"},
                      150s, env);
}

void ExpectPassed(const Outcome& r)
{
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out.find("SKIPPED"), std::string::npos) << r.out;
}

// The Windows driver's own tests on COM5, whose far end sends every byte back.
TEST_F(WineConsole, SerialDriverOnAnEchoingLine)
{
    if (Env("DSC_WINE_TESTS").empty()) GTEST_SKIP() << "DSC_WINE_TESTS names no Windows test programs";
    testsupport::PtyPair line;
    MapComPort(5, line.slavePath());
    std::atomic<bool> done{false};
    std::thread echo([&] {
        while (!done.load()) {
            const std::vector<unsigned char> bytes = line.read(50ms, 1ms);
            if (!bytes.empty()) line.write(bytes);
        }
    });
    const Outcome r = RunPortTests("EchoPort.*", "DSC_ECHO_PORT", "COM5");
    done = true;
    echo.join();
    ExpectPassed(r);
}

// The COM link removed while the console polls through it: Wine goes on
// serving the pseudo-terminal, so only the console's own look for the device
// can tell. Without reconnection the port closes with one message; with it
// the console waits, and comes back once the link does.
TEST_F(WineConsole, ComMappingRemovedWhileOpenEndsAsAnUnplug)
{
    if (Env("DSC_WINE_TESTS").empty()) GTEST_SKIP() << "DSC_WINE_TESTS names no Windows test programs";
    const auto requestsReach = [this](std::size_t count, std::chrono::seconds within) {
        return testsupport::WaitFor([&] { return sim.requestCount() >= count; }, within);
    };
    // Requests stop coming for `quiet`: the console has closed the port.
    const auto fallsQuiet = [this](std::chrono::milliseconds quiet, std::chrono::seconds within) {
        std::size_t seen = sim.requestCount();
        auto since = std::chrono::steady_clock::now();
        return testsupport::WaitFor(
            [&] {
                const std::size_t now = sim.requestCount();
                if (now != seen) {
                    seen = now;
                    since = std::chrono::steady_clock::now();
                }
                return std::chrono::steady_clock::now() - since >= quiet;
            },
            within);
    };

    MapComPort(6, sim.slavePath());
    std::size_t before = sim.requestCount();
    auto plain = std::async(std::launch::async,
                            [] { return RunPortTests("MappedPort.*OneMessage", "DSC_MAPPED_PORT", "COM6"); });
    // The password, the six pages and status reads: the console polls.
    EXPECT_TRUE(requestsReach(before + 16, 90s));
    fs::remove(ComLink(6));
    EXPECT_TRUE(fallsQuiet(2s, 30s)) << "the console went on polling";
    ExpectPassed(plain.get());

    MapComPort(6, sim.slavePath());
    before = sim.requestCount();
    auto waiting = std::async(std::launch::async, [] {
        return RunPortTests("MappedPort.*ComesBackWithTheMapping", "DSC_MAPPED_PORT", "COM6");
    });
    EXPECT_TRUE(requestsReach(before + 16, 90s));
    fs::remove(ComLink(6));
    EXPECT_TRUE(fallsQuiet(2s, 30s)) << "the console went on polling";
    const std::size_t away = sim.requestCount();
    MapComPort(6, sim.slavePath());
    ExpectPassed(waiting.get());
    const auto log = sim.requests();
    const std::size_t back = away - (sim.requestCount() - log.size());
    ASSERT_LT(back, log.size()) << "nothing came after the link's return";
    EXPECT_EQ(log[back].function, 6) << "the password first";
    EXPECT_EQ(log[back].address, sim::kPasswordRegister);
}
