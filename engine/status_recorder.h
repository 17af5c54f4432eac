// Records every accepted status reply to a CSV file.
//
// One row per accepted read of the status block: the time (ISO 8601, local,
// with milliseconds) and the 26 status values in physical units (register x
// scale), under a header of their captions and units. Rows are taken from the
// line events and written by a thread of the recorder's own, flushed every
// second; the communication thread never waits for the file. When the file
// cannot be written (a full disk, a removed drive) the recording stops and
// says why; polling goes on.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/file_drain.h"
#include "platform/os/csv_file.h"

class StatusRecorder {
public:
    StatusRecorder() = default;
    ~StatusRecorder();
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    // Creates (or truncates) `path`, writes the header and starts recording
    // the replies that come from now on. False with *error filled when the
    // file cannot be created or a recording is running.
    bool start(const std::string& path, std::string* error);
    // Writes what is still pending, closes the file and ends the thread.
    void stop();
    bool recording() const { return drain_.running(); }
    std::uint64_t rows() const { return rows_.load(); }
    const std::string& path() const { return path_; }
    // The message of a failure that stopped the recording, once; empty when
    // there is none (or it was taken already).
    std::string takeError();

    // The header line (without the line end).
    static std::string HeaderLine();

private:
    // Writes the rows of the unread events; false on a write failure.
    bool writePending(std::string* reason);

    CsvFile file_;  // the recording thread's, between start and stop
    std::string path_;
    std::atomic<std::uint64_t> rows_{0};
    struct Reader;
    Reader* reader_ = nullptr;
    FileDrain drain_;  // last: its thread ends before the rest goes
};
