// The window's sink of the boxes the line and the port raise
// (serial/notices.h): each one a message box over the console's panels.
#pragma once

#include "serial/notices.h"

class WindowNotices : public Notices {
public:
    void error(const char* title, const char* text) override;
};
