// Settings every test program needs, compiled into each of them: widget
// tests draw offscreen, settings and state stay in a temporary folder, and the sanitizers skip what system
// libraries keep for the life of the process. The console's own code is never suppressed.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {
const bool g_offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

// Settings and state (journals) of a test go to a folder of its own, never
// into the home folder; it is removed when the process ends.
std::string g_homeForTests;
const bool g_folders = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/dsc-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return false;
    g_homeForTests = pattern;
    setenv("XDG_STATE_HOME", (pattern + "/state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_homeForTests, ec);
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
