// The technician's audit trail: every write outcome as one line of writes.csv.
//
// The journal observes write outcomes (modbus/write_outcome.h) and appends
// them from a thread of its own, so that the communication thread never waits
// for the disk. The file gets a header line when it is created and is flushed
// after every line. A file that cannot be written is reported through the
// problem handler, and again (with "") once it can be written again; writes go
// on regardless. Lines that could not be written are kept (up to
// kJournalBacklogLimit) and written first when the file works again.
#pragma once

#include <functional>
#include <string>

#include "engine/journal_file.h"
#include "modbus/write_outcome.h"

// Columns of writes.csv.
constexpr const char* kWriteJournalHeader =
    "time,panel,page,caption,register,value,unit,word,outcome,detail,device";

// One line of writes.csv for a record (UTF-8, no line end): the end time in
// local ISO 8601 with milliseconds and offset, then the other columns, quoted
// where they need it.
std::string WriteJournalLine(const WriteRecord& record);

class WriteJournal {
public:
    // Journals into `folder`/writes.csv; the folder is created when missing.
    // `onProblem` receives a message (GBK/ASCII) when the file cannot be
    // written after it could, and "" when it can be written again; it is
    // called on the journal's thread. A writes.csv with another header (an
    // older version's) is renamed writes-<date>.csv and a new one begun;
    // `onNote` hears of it once.
    WriteJournal(const std::string& folder, std::function<void(const std::string&)> onProblem,
                 std::function<void(const std::string&)> onNote = nullptr);
    // Stops observing, writes every line already queued and ends the thread.
    ~WriteJournal();
    WriteJournal(const WriteJournal&) = delete;
    WriteJournal& operator=(const WriteJournal&) = delete;

    const std::string& path() const { return file_.path(); }
    // Waits until every line queued so far has been handled.
    void drain() { file_.drain(); }
    // Lines handled but not in the file yet (journal thread's view after drain).
    std::size_t unwritten() { return file_.unwritten(); }

private:
    JournalFile file_;
    int token_ = 0;
};
