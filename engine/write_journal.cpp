#include "engine/write_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/app_dirs.h"
#include "platform/uir.h"

namespace {

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string localIsoTime(std::int64_t ms)
{
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);  // +hhmm
    char out[64];
    std::snprintf(out, sizeof out, "%s.%03d%.3s:%.2s", date, static_cast<int>(ms % 1000), zone,
                  zone[0] != '\0' ? zone + 3 : "00");
    return out;
}

}  // namespace

std::string WriteJournalLine(const WriteRecord& r)
{
    char value[32];
    std::snprintf(value, sizeof value, "%.6g", r.what.typed);
    char word[8];
    std::snprintf(word, sizeof word, "0x%04X", r.word);
    const std::string cells[] = {
        localIsoTime(r.endedMs),
        field(uirfile::GbkToUtf8Lenient(r.what.panel)),
        field(uirfile::GbkToUtf8Lenient(r.what.page)),
        field(uirfile::GbkToUtf8Lenient(r.what.caption)),
        std::to_string(r.address),
        value,
        field(uirfile::GbkToUtf8Lenient(r.what.unit)),
        word,
        WriteOutcomeName(r.outcome),
        field(uirfile::GbkToUtf8Lenient(r.detail)),
    };
    std::string line;
    for (const std::string& c : cells) {
        if (!line.empty()) line += ',';
        line += c;
    }
    return line;
}

WriteJournal::WriteJournal(std::string folder, std::function<void(const std::string&)> onProblem)
    : folder_(std::move(folder)), path_(folder_ + "/writes.csv"), onProblem_(std::move(onProblem))
{
    thread_ = std::thread([this] { run(); });
    token_ = AddWriteObserver([this](const WriteRecord& r) { enqueue(r); });
}

WriteJournal::~WriteJournal()
{
    RemoveWriteObserver(token_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void WriteJournal::drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    const std::size_t target = queued_;
    wake_.wait(lock, [&] { return handled_ >= target; });
}

void WriteJournal::enqueue(const WriteRecord& record)
{
    std::string line = WriteJournalLine(record);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(line));
        ++queued_;
    }
    wake_.notify_all();
}

std::size_t WriteJournal::unwritten()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unwritten_;
}

void WriteJournal::run()
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
        const bool written = append(backlog_, &error);
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

bool WriteJournal::append(const std::deque<std::string>& lines, std::string* error)
{
    if (!MakeFolder(folder_, error)) return false;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    std::string text = sized && st.st_size == 0 ? std::string(kWriteJournalHeader) + "\n" : std::string();
    for (const std::string& line : lines) text += line + "\n";
    bool ok = sized;
    if (!ok) *error = std::strerror(errno);
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = n < 0 ? std::strerror(errno) : "nothing written";
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    // No half-written line stays behind: the lines are tried again whole.
    if (!ok && sized && ::ftruncate(fd, st.st_size) != 0) *error += " (and the file could not be cut back)";
    if (::close(fd) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}
