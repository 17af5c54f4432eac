#include "engine/journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/app_dirs.h"

namespace {

bool makeParent(const std::string& path, std::string* error)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() || MakeFolder(folder, error);
}

// Writes all of `text` to `fd`; false with the reason when it cannot.
bool writeAll(int fd, const std::string& text, std::string* error)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = n < 0 ? std::strerror(errno) : "nothing written";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

JournalFile::JournalFile(std::string path, std::string header,
                         std::function<void(const std::string&)> onProblem)
    : path_(std::move(path)), header_(std::move(header)), onProblem_(std::move(onProblem))
{
    thread_ = std::thread([this] { run(); });
}

JournalFile::~JournalFile()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::string JournalFile::Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool JournalFile::truncate(std::string* error)
{
    if (!makeParent(path_, error)) return false;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = writeAll(fd, header_ + "\n", error);
    if (::close(fd) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}

void JournalFile::append(std::string line)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(line));
        ++queued_;
    }
    wake_.notify_all();
}

void JournalFile::drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    const std::size_t target = queued_;
    wake_.wait(lock, [&] { return handled_ >= target; });
}

std::size_t JournalFile::unwritten()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unwritten_;
}

void JournalFile::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and everything is handled
        backlog_.push_back(std::move(queue_.front()));
        queue_.pop_front();
        lock.unlock();
        if (backlog_.size() > kJournalBacklogLimit) backlog_.pop_front();
        std::string error;
        const bool written = write(backlog_, &error);
        if (written) backlog_.clear();
        if (written == failing_) {
            failing_ = !written;
            if (onProblem_)
                onProblem_(written ? std::string() : "Journal not written: " + path_ + ": " + error);
        }
        lock.lock();
        unwritten_ = backlog_.size();
        ++handled_;
        wake_.notify_all();
    }
}

bool JournalFile::write(const std::deque<std::string>& lines, std::string* error)
{
    if (!makeParent(path_, error)) return false;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    std::string text = sized && st.st_size == 0 ? header_ + "\n" : std::string();
    for (const std::string& line : lines) text += line + "\n";
    bool ok = sized;
    if (!ok) *error = std::strerror(errno);
    ok = ok && writeAll(fd, text, error);
    // No half-written line stays behind: the lines are tried again whole.
    if (!ok && sized && ::ftruncate(fd, st.st_size) != 0) *error += " (and the file could not be cut back)";
    if (::close(fd) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}
