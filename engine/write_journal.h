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

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "modbus/write_outcome.h"

// Lines kept while the file cannot be written; older ones are dropped beyond it.
constexpr std::size_t kJournalBacklogLimit = 10000;

// Columns of writes.csv.
constexpr const char* kWriteJournalHeader = "time,panel,page,caption,register,value,unit,word,outcome,detail";

// One line of writes.csv for a record (UTF-8, no line end): the end time in
// local ISO 8601 with milliseconds and offset, then the other columns, quoted
// where they need it.
std::string WriteJournalLine(const WriteRecord& record);

class WriteJournal {
public:
    // Journals into `folder`/writes.csv; the folder is created when missing.
    // `onProblem` receives a message (GBK/ASCII) when the file cannot be
    // written after it could, and "" when it can be written again; it is
    // called on the journal's thread.
    WriteJournal(std::string folder, std::function<void(const std::string&)> onProblem);
    // Stops observing, writes every line already queued and ends the thread.
    ~WriteJournal();
    WriteJournal(const WriteJournal&) = delete;
    WriteJournal& operator=(const WriteJournal&) = delete;

    const std::string& path() const { return path_; }
    // Waits until every line queued so far has been handled.
    void drain();
    // Lines handled but not in the file yet (journal thread's view after drain).
    std::size_t unwritten();

private:
    void enqueue(const WriteRecord& record);
    void run();
    bool append(const std::deque<std::string>& lines, std::string* error);

    std::string folder_;
    std::string path_;
    std::function<void(const std::string&)> onProblem_;
    int token_ = 0;

    std::mutex mutex_;  // guards the five fields below
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::size_t queued_ = 0;   // lines ever queued
    std::size_t handled_ = 0;  // lines ever taken off the queue and tried
    std::size_t unwritten_ = 0;
    bool stopping_ = false;

    // Journal thread only.
    std::deque<std::string> backlog_;  // lines not written yet, oldest first
    bool failing_ = false;
    std::thread thread_;
};
