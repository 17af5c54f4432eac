// Whether the controller is answering: the LINK_STATUS line of the main panel
// and the dimming of its read-outs and fault list.
#pragma once

#include <string>

// The line as it reads now (GBK): the open port on the first line and its
// state on the second, e.g. "COM4 /dev/ttyUSB0 19200 8O1\nreplying · unlocked",
// "...\nNO REPLY for 6 s · locked", or "port closed".
std::string LinkStatusText();

// Writes the line and dims the read-outs until the first accepted reply on
// the open port (password echo, page read, write echo or status read) and
// whenever none has come for more than 3 s. "unlocked" means the controller
// accepted the password on the port open now. Called after each refresh pass;
// only one thread may call it.
void RefreshLinkStatus();
// Forgets when the port was seen open and what was drawn last, so that the
// next refresh draws everything (start-up; the refresh thread not running).
void ResetLinkStatus();
