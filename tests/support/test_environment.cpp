// Settings every test program needs, compiled into each of them: widget
// tests draw offscreen, and the sanitizers skip what system libraries keep
// for the life of the process. The console's own code is never suppressed.
#include <cstdlib>

namespace {
const bool g_offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
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
