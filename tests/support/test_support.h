// Helpers shared by the test programs.
#pragma once

#include <chrono>
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

std::vector<unsigned char> FromHex(const std::string& hex);
std::string ToHex(const std::vector<unsigned char>& bytes);

}  // namespace testsupport

#ifdef _WIN32
// The POSIX environment calls the tests use, over the C run-time's own.
int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
#endif
