#include "engine/status_recorder.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/item_names.h"
#include "engine/status_history.h"
#include "engine/traffic_decode.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "model/data_item.h"

namespace {

constexpr int kBatch = 64;
constexpr auto kFlushEvery = std::chrono::seconds(1);
constexpr auto kDrainEvery = std::chrono::milliseconds(200);

// "a,b" -> "\"a,b\""; a field without comma, quote or line end stays as it is.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string rowOf(const LineEvent& e, const std::int16_t (&words)[DATAITEMOR_COUNT])
{
    std::string row = IsoTime(e.wallMs);
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, ",%.10g", StatusValue(i, words[i]));
        row += text;
    }
    return row;
}

}  // namespace

struct StatusRecorder::Reader {
    LineEventReader events;
    std::vector<LineEvent> batch = std::vector<LineEvent>(kBatch);
};

StatusRecorder::~StatusRecorder()
{
    stop();
}

std::string StatusRecorder::HeaderLine()
{
    std::string header = "time";
    for (int i = 0; i < kStatusTable.count; ++i) {
        const RegisterName n = NameOfRegister(kStatusTable.first_register + i);
        std::string column =
            n.caption.empty() ? CaptionOfRegister(kStatusTable.first_register + i) : n.caption;
        if (!n.unit.empty()) column += " (" + n.unit + ")";
        header += "," + csvField(column);
    }
    return header;
}

bool StatusRecorder::start(const std::string& path, std::string* error)
{
    if (recording_.load()) {
        *error = "a recording is already running";
        return false;
    }
    stop();  // a recording that stopped on a failure leaves its thread to join
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        *error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string header = HeaderLine() + "\n";
    if (std::fputs(header.c_str(), f) == EOF || std::fflush(f) != 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::fclose(f);
        return false;
    }
    file_ = f;
    path_ = path;
    rows_ = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
        error_.clear();
    }
    reader_ = new Reader;
    recording_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void StatusRecorder::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    delete reader_;
    reader_ = nullptr;
}

std::string StatusRecorder::takeError()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string e;
    e.swap(error_);
    return e;
}

bool StatusRecorder::fail(const char* what)
{
    const int code = errno;
    std::fclose(file_);
    file_ = nullptr;
    recording_ = false;
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = "Recording stopped: cannot " + std::string(what) + " " + path_ + ": " + std::strerror(code);
    return false;
}

bool StatusRecorder::writePending()
{
    for (;;) {
        const int n = reader_->events.read(reader_->batch.data(), kBatch);
        for (int i = 0; i < n; ++i) {
            const LineEvent& e = reader_->batch[static_cast<size_t>(i)];
            std::int16_t words[DATAITEMOR_COUNT];
            if (!StatusWordsOf(e, words)) continue;
            const std::string row = rowOf(e, words) + "\n";
            if (std::fputs(row.c_str(), file_) == EOF) return fail("write");
            ++rows_;
        }
        if (n < kBatch) return true;
    }
}

void StatusRecorder::run()
{
    auto lastFlush = std::chrono::steady_clock::now();
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_for(lock, kDrainEvery, [this] { return stop_; });
            stopping = stop_;
        }
        if (!writePending()) return;
        const auto now = std::chrono::steady_clock::now();
        if (stopping || now - lastFlush >= kFlushEvery) {
            lastFlush = now;
            if (std::fflush(file_) != 0 || std::ferror(file_) != 0) {
                fail("write");
                return;
            }
        }
        if (stopping) break;
    }
    if (std::fclose(file_) != 0) {
        file_ = nullptr;
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = "Recording may be incomplete: closing " + path_ + " failed: " + std::strerror(errno);
    }
    file_ = nullptr;
    recording_ = false;
}
