#include "engine/journal_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/app_dirs.h"

namespace {

bool makeParent(const std::string& path, std::string* error)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() || MakeFolder(folder, error);
}

}  // namespace

JournalFile::JournalFile(std::string path, std::string header,
                         std::function<void(const std::string&)> onError)
    : path_(std::move(path)), header_(std::move(header)), onError_(std::move(onError))
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
    std::FILE* f = std::fopen(path_.c_str(), "w");
    if (f == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = std::fprintf(f, "%s\n", header_.c_str()) > 0;
    ok = std::fflush(f) == 0 && ok;
    if (!ok) *error = std::strerror(errno);
    if (std::fclose(f) != 0 && ok) {
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

bool JournalFile::failed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

void JournalFile::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and everything is written
        std::string line = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        std::string error;
        const bool ok = write(line, &error);
        if (!ok && !reported_) {
            reported_ = true;
            if (onError_) onError_("Journal not written: " + path_ + ": " + error);
        }
        lock.lock();
        failed_ = failed_ || !ok;
        ++handled_;
        wake_.notify_all();
    }
}

bool JournalFile::write(const std::string& line, std::string* error)
{
    if (!makeParent(path_, error)) return false;
    std::FILE* f = std::fopen(path_.c_str(), "a");
    if (f == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    if (ok && std::ftell(f) == 0) ok = std::fprintf(f, "%s\n", header_.c_str()) > 0;
    ok = ok && std::fprintf(f, "%s\n", line.c_str()) > 0;
    ok = std::fflush(f) == 0 && ok;
    if (!ok) *error = std::strerror(errno);
    if (std::fclose(f) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}
