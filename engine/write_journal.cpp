#include "engine/write_journal.h"

#include <cstdio>
#include <ctime>

#include "platform/app_dirs.h"
#include "platform/csv_file.h"
#include "platform/gbk.h"

namespace {

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
    return CsvLine({
        localIsoTime(r.endedMs),
        GbkToUtf8Lenient(r.what.panel),
        GbkToUtf8Lenient(r.what.page),
        GbkToUtf8Lenient(r.what.caption),
        std::to_string(r.address),
        value,
        GbkToUtf8Lenient(r.what.unit),
        word,
        WriteOutcomeName(r.outcome),
        GbkToUtf8Lenient(r.detail),
    });
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
    return MakeFolder(folder_, error) && CsvAppendLines(path_, kWriteJournalHeader, lines, error);
}
