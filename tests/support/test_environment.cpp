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
const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Qt's own threads (the offscreen platform's event dispatch and the pools it
// keeps) are not built with ThreadSanitizer; races reported inside them alone
// are not ours.
const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n"
           "called_from_lib:libfontconfig.so.1\n"
           "called_from_lib:libglib-2.0.so.0\n";
}
}
