#include "platform/ui/headless_ui.h"

#include <string>

#include "platform/os/console_io.h"

int HeadlessUi::messagePopup(const char* title, const char* message)
{
    WriteBoxToStderr(title, message);
    return UIE_NO_ERROR;
}

int HeadlessUi::confirmPopup(const char* title, const char* message, int, int)
{
    const std::string heading = std::string(title != nullptr ? title : "") + " (not asked)";
    messagePopup(heading.c_str(), message);
    return UIE_NO_LOOP;
}
