// The capture of the line for one command run (dump, verify, restore,
// watch): the last ten minutes kept as the window keeps them, and with
// --capture the whole run written to a file. A file that cannot be created
// stops the command before it opens the port; one that fails on the way
// stops the capture with a message and the command goes on, to end with
// status 3 unless it found something (status 1).
#pragma once

#include <cstdio>
#include <string>

#include "engine/line_capture.h"

class CommandCapture {
public:
    // Observes the line from now on; messages go to `err`.
    explicit CommandCapture(std::FILE* err);
    ~CommandCapture();
    CommandCapture(const CommandCapture&) = delete;
    CommandCapture& operator=(const CommandCapture&) = delete;

    // Captures to `path` from now on; false with the message told when it
    // cannot be created.
    bool start(const std::string& path);
    // Tells a failure that stopped the capture, once. The command's thread.
    void look();
    // Once the command's line has ended: writes what is pending, closes the
    // file and tells a failure.
    void finish();
    // The capture to a file failed at some time.
    bool failed() const { return failed_; }
    // The command's exit status `status` with what became of the capture.
    int status(int status) const;

private:
    LineCapture capture_;
    std::FILE* err_;
    std::string path_;
    bool failed_ = false;
};
