#include "platform/ui/headless_ui.h"

#include <cstdio>
#include <string>

#include "platform/os/gbk.h"

int HeadlessUi::messagePopup(const char* title, const char* message)
{
    std::string text = GbkToUtf8Lenient(message != nullptr ? message : "");
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    std::fprintf(stderr, "drive-console: %s: %s\n", title != nullptr ? title : "", text.c_str());
    return UIE_NO_ERROR;
}

int HeadlessUi::confirmPopup(const char* title, const char* message, int, int)
{
    const std::string heading = std::string(title != nullptr ? title : "") + " (not asked)";
    messagePopup(heading.c_str(), message);
    return UIE_NO_LOOP;
}
