// The write status line at the bottom of the parameter and debug panels, and
// the journal behind it.
#pragma once

#include <string>

// Shows every write outcome on both panels' WRITE_STATUS line and journals it
// into the state folder. While the journal cannot be written, the line says so
// under the latest outcome, in red, until it can. Call once the panels are
// loaded.
void StartWriteReporting();
// Stops both; what is queued for the journal is written first.
void StopWriteReporting();
// Waits until every outcome so far has been tried in the journal (any thread).
void DrainWriteReporting();

// The status text of the latest outcome: its summary and the local time
// (HH:MM:SS) it ended.
struct WriteRecord;
std::string WriteStatusText(const WriteRecord& record);
