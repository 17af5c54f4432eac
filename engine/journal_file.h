// A CSV journal: lines appended from a thread of the journal's own, so that
// whoever produces them never waits for the disk.
//
// Each line goes to the file as soon as it is queued, whole or not at all: a
// new or empty file gets the header first, and a write that fails leaves the
// file as it was. A file that cannot be written is reported through the
// problem handler, and again (with "") once it can be written again; the lines
// that could not be written are kept (up to kJournalBacklogLimit, the oldest
// dropped beyond it) and written first when the file works again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Lines kept while the file cannot be written; older ones are dropped beyond it.
constexpr std::size_t kJournalBacklogLimit = 10000;

class JournalFile {
public:
    // Lines go to `path`, whose folder is created when missing. `onProblem`
    // is called on the journal's thread. With `staleName` given, a file with
    // another header is renamed to it (CsvAppendLines) and a new one begun;
    // `onNote` then hears of it once, on the journal's thread.
    JournalFile(std::string path, std::string header, std::function<void(const std::string&)> onProblem,
                std::string staleName = std::string(),
                std::function<void(const std::string&)> onNote = nullptr);
    // Writes every line already queued (or keeps trying no longer) and ends the thread.
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Empties the file (creating it and its folder) and writes the header at
    // once, on the calling thread. False, with the reason, when it cannot.
    bool truncate(std::string* error);
    // Queues one line (without its line end).
    void append(std::string line);
    // Waits until every line queued so far has been tried.
    void drain();
    // Lines tried but not in the file yet (the journal thread's view after drain).
    std::size_t unwritten();
    const std::string& path() const { return path_; }

private:
    void run();
    bool write(const std::deque<std::string>& lines, std::string* error);

    std::string path_;
    std::string header_;
    std::function<void(const std::string&)> onProblem_;
    std::string staleName_;
    std::function<void(const std::string&)> onNote_;

    std::mutex mutex_;  // guards the fields up to thread_
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
