#include "engine/status_recorder.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/status_text.h"
#include "engine/traffic_decode.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"

namespace {

constexpr int kBatch = 64;
constexpr auto kFlushEvery = std::chrono::seconds(1);
constexpr auto kDrainEvery = std::chrono::milliseconds(200);

// The fields of one row into `row`, whose strings keep their capacity from
// row to row.
void fillRow(const LineEvent& e, const std::int16_t (&words)[DATAITEMOR_COUNT], std::vector<std::string>* row)
{
    row->resize(1 + DATAITEMOR_COUNT);
    (*row)[0] = IsoTime(e.wallMs);
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", StatusPhysical(i, words[i]));
        (*row)[1 + static_cast<std::size_t>(i)] = text;
    }
}

}  // namespace

struct StatusRecorder::Reader {
    LineEventReader events;
    std::vector<LineEvent> batch = std::vector<LineEvent>(kBatch);
    std::vector<std::string> row;
};

StatusRecorder::~StatusRecorder()
{
    stop();
}

std::string StatusRecorder::HeaderLine()
{
    std::vector<std::string> header{"time"};
    for (int i = 0; i < kStatusTable.count; ++i) header.push_back(StatusColumnTitle(i));
    return CsvLine(header);
}

bool StatusRecorder::start(const std::string& path, std::string* error)
{
    if (recording_.load()) {
        *error = "a recording is already running";
        return false;
    }
    stop();  // a recording that stopped on a failure leaves its thread to join
    std::string reason;
    if (!file_.open(path, CsvFile::Mode::Replace, &reason)) {
        *error = "cannot create " + path + ": " + reason;
        return false;
    }
    if (!file_.writeLine(HeaderLine(), &reason) || !file_.flush(&reason)) {
        *error = "cannot write " + path + ": " + reason;
        file_.close(nullptr);
        return false;
    }
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

bool StatusRecorder::fail(const std::string& reason)
{
    file_.close(nullptr);
    recording_ = false;
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = "Recording stopped: cannot write " + path_ + ": " + reason;
    return false;
}

bool StatusRecorder::writePending()
{
    for (;;) {
        const int n = reader_->events.read(reader_->batch.data(), kBatch);
        for (int i = 0; i < n; ++i) {
            const LineEvent& e = reader_->batch[static_cast<size_t>(i)];
            std::int16_t words[DATAITEMOR_COUNT];
            if (!StatusReplyWords(e, words)) continue;
            std::string reason;
            fillRow(e, words, &reader_->row);
            if (!file_.writeLine(CsvLine(reader_->row), &reason)) return fail(reason);
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
            std::string reason;
            if (!file_.flush(&reason)) {
                fail(reason);
                return;
            }
        }
        if (stopping) break;
    }
    std::string reason;
    if (!file_.close(&reason)) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = "Recording may be incomplete: closing " + path_ + " failed: " + reason;
    }
    recording_ = false;
}
