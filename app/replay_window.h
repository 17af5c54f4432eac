// A capture opened in the window in place of a port (--replay), and the
// replay bar (PANEL_REPLAY) that tells and steers it: pause and resume
// (REPLAY_PLAY), the captured time as a slider (REPLAY_POSITION) and as text
// (REPLAY_TIME), the speed (REPLAY_SPEED), and the port being played or "end
// of capture" (REPLAY_STATE). The panels, the monitor and the fault history
// show the capture as they would show the line.
#pragma once

#include <string>

// Reads the capture and takes the console's clock, port and writes over for
// it, at `speed` (1, 2, 5, 10, or 0 for as fast as the window takes it).
// False with *error ("FILE: byte N: ...") and nothing changed.
bool StartWindowReplay(const std::string& path, double speed, std::string* error);
// Gives them back (after the UI loop has ended).
void StopWindowReplay();
bool WindowReplaying();
// True once the replay has played the whole capture.
bool WindowReplayEnded();
// On the running UI loop: opens the replay's port with the capture's line
// settings, titles the main panel "replay of FILE" and shows the replay bar.
void OpenReplayPort();
// Renders the main panel with the replay bar below it to a PNG file; false
// without a replay.
bool SaveReplayBarPng(const std::string& path);
