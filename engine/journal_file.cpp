#include "engine/journal_file.h"

#include <filesystem>

#include "platform/os/app_dirs.h"
#include "platform/os/csv_file.h"

namespace {

bool makeParent(const std::string& path, std::string* error)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() || MakeFolder(folder, error);
}

}  // namespace

JournalFile::JournalFile(std::string path, std::string header,
                         std::function<void(const std::string&)> onProblem, std::string staleName,
                         std::function<void(const std::string&)> onNote)
    : path_(std::move(path)),
      header_(std::move(header)),
      onProblem_(std::move(onProblem)),
      staleName_(std::move(staleName)),
      onNote_(std::move(onNote))
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

bool JournalFile::truncate(std::string* error)
{
    if (!makeParent(path_, error)) return false;
    CsvFile file;
    return file.open(path_, CsvFile::Mode::Replace, error) && file.writeHeader(header_, error) &&
           file.close(error);
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
    std::string renamed;
    const bool written =
        makeParent(path_, error) && CsvAppendLines(path_, header_, lines, error, staleName_, &renamed);
    if (!renamed.empty() && onNote_) {
        const auto name = [](const std::string& p) { return std::filesystem::path(p).filename().string(); };
        onNote_(name(path_) + " had the columns of an older version: kept as " + name(renamed) +
                ", a new one begun");
    }
    return written;
}
