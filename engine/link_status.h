// Whether the controller is answering: the line's state as a text and whether
// the status read-outs are stale. The operator floor draws both.
#pragma once

#include <string>

// The line as it reads now (GBK): the open port on the first line and its
// state on the second, e.g. "COM4 /dev/ttyUSB0 19200 8O1\nreplying · unlocked",
// "...\nNO REPLY for 6 s · locked", or "port closed".
std::string LinkStatusText();

// What the status line shows now: its text, and whether the read-outs are
// stale, which they are until the first accepted reply on the open port
// (password echo, page read, write echo or status read) and whenever none
// has come for more than 3 s.
struct LinkStatusView {
    std::string text;
    bool dimmed = true;
};

// The line's state as of now, noting when the port was first seen open (the
// silence counts from then). "unlocked" means the controller accepted the
// password on the port open now. Called after each refresh pass; only one
// thread may call it.
LinkStatusView CurrentLinkStatus();
// Forgets when the port was seen open (start-up; the refresh thread not
// running).
void ResetLinkStatus();
