// Settings every test program needs, compiled into each of them: widget
// tests draw offscreen, and the sanitizers skip what system libraries keep
// for the life of the process. The console's own code is never suppressed.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/line_wiring.h"
#include "serial/line_machine.h"

namespace {
// The line as start-up sets it up: the engine's request chooser and the
// observers of line events, write outcomes, link health and the frame log.
// Never destroyed: worker threads may still report while the process ends.
const LineWiring* const g_line = new LineWiring(TheLine());

const bool g_offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

// Settings and state go to a folder of the test process's own, removed when it
// ends, never to the user's.
std::string g_home;
pid_t g_owner = 0;
const bool g_xdg = [] {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "dsc-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return false;
    g_home = pattern;
    g_owner = getpid();
    setenv("XDG_CONFIG_HOME", (g_home + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (g_home + "/state").c_str(), 1);
    std::atexit([] {
        if (getpid() != g_owner) return;  // a forked child (death test) leaves it to its parent
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
