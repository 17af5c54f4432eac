// The main panel's LINK_STATUS line and the dimming of its read-outs and
// fault list, drawn from what the line's state says (the text and whether
// the read-outs are stale).
#pragma once

#include <string>

// What was drawn last, so that a pass writes only what changed. One per
// drawing thread (the refresh thread's); a new one draws everything.
class LinkStatusPanel {
public:
    // Writes the line's text if it changed, then dims or undims every
    // read-out of the status area (the tables once each) if that changed.
    void draw(const std::string& text, bool dimmed);
    // Forgets what was drawn: the next draw writes everything.
    void reset();

private:
    std::string text_;
    int dimmed_ = -1;
};
