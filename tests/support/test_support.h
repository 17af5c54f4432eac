// Helpers shared by the test programs.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// A line pair: the console side opens `slavePath` like any serial device; the
// test plays the controller on the far side. A pseudo-terminal; on Windows,
// which has none, an in-process loop port.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // Writes bytes to the far side.
    void write(const std::vector<unsigned char>& bytes);
    // Reads what is there on the far side, waiting up to `timeout` for the
    // first byte and then until `quiet` passes with no more bytes.
    std::vector<unsigned char> read(std::chrono::milliseconds timeout,
                                    std::chrono::milliseconds quiet = std::chrono::milliseconds(30));
    // Closes the far side, as if the cable were pulled: the console side
    // then reads end-of-file and its writes fail.
    void hangUp();

    struct Far;

private:
    std::unique_ptr<Far> far_;
    std::string slavePath_;
};

// Polls `predicate` every few milliseconds until it holds or `timeout` runs out.
bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

// The console's panel resources copied into a temporary folder with edits
// made to their bytes (GBK, as the files hold them). While the object lives,
// $DSC_UIR_DIR points at the copy and the register catalogue is built from
// it; afterwards both go back to the resources the program was built with.
class EditedResources {
public:
    EditedResources();
    ~EditedResources();
    EditedResources(const EditedResources&) = delete;
    EditedResources& operator=(const EditedResources&) = delete;

    // Replaces the first `from` in `file` by `to`; false when `from` is not there.
    bool replace(const std::string& file, const std::string& from, const std::string& to);
    // Removes `file` from the copy.
    void remove(const std::string& file);
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    bool hadDir_ = false;
    std::string oldDir_;
};

// The rows of a CSV file, each split into its fields (quotes undone); a file
// that cannot be read has none.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path);

// A temporary file standing for a stream (a command's output), read back whole.
class StreamCapture {
public:
    StreamCapture();
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    std::FILE* file() { return file_; }
    std::string text();

private:
    std::FILE* file_;
};

#ifndef _WIN32
// A disk that fills up: while it lives, no file of this process may grow past
// `bytes` (a write beyond fails with EFBIG instead of raising SIGXFSZ). The
// limit and the signal are put back however the test ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return set_; }

private:
    unsigned long long savedCurrent_ = 0;
    unsigned long long savedMax_ = 0;
    void (*savedHandler_)(int) = nullptr;
    bool set_ = false;
};
#endif

std::vector<unsigned char> FromHex(const std::string& hex);
std::string ToHex(const std::vector<unsigned char>& bytes);

}  // namespace testsupport

#ifdef _WIN32
// The POSIX environment calls the tests use, over the C run-time's own.
int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
#endif
