// The fault history as CSV: faults.csv in the console's state folder, and the
// file that `drive-console watch --out` writes, in the same format.
//
// Columns: time (ISO 8601, local, milliseconds), event (ON, OFF, lost),
// register, bit, caption, duration_s (empty on ON), first (yes or no on ON,
// empty otherwise), then one column per status value, titled with its caption
// and unit and filled on ON rows with the freeze frame as the main panel
// shows it. Lines are written from a thread of the journal's own as they come
// (see engine/journal_file.h): a file that cannot be written is reported, the
// lines are kept and written once it can be, and the events go on.
#pragma once

#include <functional>
#include <string>

#include "engine/fault_tracker.h"
#include "engine/journal_file.h"

constexpr const char* kFaultJournalName = "faults.csv";

std::string FaultJournalHeader();
// One line (UTF-8, no line end).
std::string FaultJournalLine(const FaultEvent& event);
// The duration as written: seconds with one decimal ("2.0").
std::string FaultDurationText(double seconds);

class FaultJournal : public FaultObserver {
public:
    // Appends to `path`, creating it (with its folder and the header) when
    // missing. `onProblem` gets a message, on the journal's thread, when the
    // file cannot be written after it could, and "" when it can again.
    FaultJournal(std::string path, std::function<void(const std::string&)> onProblem);

    // Starts the file afresh with the header, at once. False, with the reason,
    // when it cannot be written.
    bool truncate(std::string* error) { return file_.truncate(error); }
    void faultEvent(const FaultEvent& event) override { file_.append(FaultJournalLine(event)); }
    // Waits until every line so far has been tried.
    void drain() { file_.drain(); }
    // Lines not in the file (yet), after drain().
    std::size_t unwritten() { return file_.unwritten(); }
    const std::string& path() const { return file_.path(); }

private:
    JournalFile file_;
};
