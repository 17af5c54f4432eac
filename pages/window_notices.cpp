#include "pages/window_notices.h"

#include "platform/ui/ui.h"

void WindowNotices::error(const char* title, const char* text)
{
    MessagePopup(title, text);
}
