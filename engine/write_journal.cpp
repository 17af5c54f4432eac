#include "engine/write_journal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/app_dirs.h"
#include "platform/clock.h"
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

}  // namespace

std::string WriteJournalLine(const WriteRecord& r)
{
    char value[32];
    std::snprintf(value, sizeof value, "%.6g", r.what.typed);
    char word[8];
    std::snprintf(word, sizeof word, "0x%04X", r.word);
    const std::string cells[] = {
        IsoLocalTime(r.endedMs),
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

WriteJournal::WriteJournal(std::string folder, std::function<void(const std::string&)> onError)
    : folder_(std::move(folder)), path_(folder_ + "/writes.csv"), onError_(std::move(onError))
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

void WriteJournal::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and everything is written
        std::string line = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        std::string error;
        if (!append(line, &error) && !reported_) {
            reported_ = true;
            if (onError_) onError_("Journal not written: " + path_ + ": " + error);
        }
        lock.lock();
        ++handled_;
        wake_.notify_all();
    }
}

bool WriteJournal::append(const std::string& line, std::string* error)
{
    if (!MakeFolder(folder_, error)) return false;
    std::FILE* f = std::fopen(path_.c_str(), "a");
    if (f == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    if (ok && std::ftell(f) == 0) ok = std::fprintf(f, "%s\n", kWriteJournalHeader) > 0;
    ok = ok && std::fprintf(f, "%s\n", line.c_str()) > 0;
    ok = std::fflush(f) == 0 && ok;
    if (!ok) *error = std::strerror(errno);
    if (std::fclose(f) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}
