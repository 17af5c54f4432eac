// Settings every test program needs, compiled into each of them: widget
// tests draw offscreen, and the sanitizers skip what system libraries keep
// for the life of the process. The console's own code is never suppressed.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "engine/console_state.h"
#include "engine/line_wiring.h"
#include "platform/os/clock.h"
#include "platform/port/port_discovery.h"
#include "platform/port/serial.h"
#include "serial/line_machine.h"

namespace {
// The line as start-up sets it up: the engine's request chooser and the
// observers of line events, write outcomes, link health and the frame log.
// Never destroyed: worker threads may still report while the process ends.
const LineWiring* const g_line = new LineWiring(TheLine());

// Every case of a program runs in the same process and starts from the state
// start-up leaves: what one case set up or left behind never reaches the next.
// The program's own start-up reset does that; the test hooks go first.
class FreshState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        SetClockSource(nullptr);
        SetSleepHooks(nullptr, nullptr);
        SetSerialDriver(nullptr);
        SetPortEnumerator(nullptr);
        ResetConsoleState();
    }
};
const bool g_fresh = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshState);
    return true;
}();

const bool g_offscreen = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    return true;
}();

// A fresh folder under the system's temporary directory.
std::string MakeTemporaryFolder()
{
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) return {};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path p = base / ("dsc-test-" + std::to_string(getpid()) + "-" +
                                                std::to_string(stamp) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(p, ec)) return p.string();
    }
    return {};
}

// Settings and state go to a folder of the test process's own, removed when it
// ends, never to the user's.
std::string g_home;
int g_owner = 0;
const bool g_xdg = [] {
    g_home = MakeTemporaryFolder();
    if (g_home.empty()) return false;
    g_owner = static_cast<int>(getpid());
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(g_home + "/config"));
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(g_home + "/state"));
    std::atexit([] {
        if (static_cast<int>(getpid()) != g_owner)
            return;  // a forked child (death test) leaves it to its parent
        std::error_code ignored;
        std::filesystem::remove_all(g_home, ignored);
    });
    return true;
}();
}  // namespace

extern "C" {
// Font configuration caches, allocated once by the system's font library.
const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
// Qt's libraries are not built with ThreadSanitizer: accesses that they make
// through intercepted calls (memcpy, free, ...) in their own worker threads
// are not judged, while their locks still order the console's code. A race in
// the console's own code, even inside a callback run by Qt, is reported.
const char* __tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
}
