// A CSV file that lines are appended to from a thread of its own, so that
// whoever produces them never waits for the disk.
//
// Each line is appended and flushed on its own; a new or empty file gets the
// header first. A line that cannot be written is reported once through the
// error handler (on the journal's thread); later lines are tried again, so a
// journal whose disk comes back goes on.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class JournalFile {
public:
    // Lines go to `path`; its folder is created when missing.
    JournalFile(std::string path, std::string header, std::function<void(const std::string&)> onError);
    // Writes every line already queued and ends the thread.
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
    // A line could not be written.
    bool failed() const;
    const std::string& path() const { return path_; }

    // "a,b" -> "\"a,b\""; a field without comma, quote or line end stays as it is.
    static std::string Field(const std::string& text);

private:
    void run();
    bool write(const std::string& line, std::string* error);

    std::string path_;
    std::string header_;
    std::function<void(const std::string&)> onError_;

    mutable std::mutex mutex_;  // guards the fields below
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::size_t queued_ = 0;   // lines ever queued
    std::size_t handled_ = 0;  // lines ever taken off the queue and tried
    bool stopping_ = false;
    bool failed_ = false;

    bool reported_ = false;  // journal thread only
    std::thread thread_;
};
