// What the window installs at start, compiled into every test program that
// links the operator floor (all but the headless engine's): the boxes of the
// line and the port are shown as the window shows them (a test's recording
// backend or popup handler takes them), and the LEDs, the title and the device
// line go to the window's presenter. Never destroyed: worker threads may still
// tell them while the process ends.
#include "pages/line_presenter.h"
#include "pages/window_notices.h"

namespace {

WindowNotices* const g_windowNotices = new WindowNotices;
const NoticesInstalled* const g_notices = new NoticesInstalled(*g_windowNotices);
LinePresenter* const g_presenter = new LinePresenter;
const LineViewInstalled* const g_lineView = new LineViewInstalled(*g_presenter);

}  // namespace
