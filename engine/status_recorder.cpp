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
    if (drain_.running()) {
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
    reader_ = new Reader;
    drain_.start(kDrainEvery,
                 {[this](std::string* reason) { return writePending(reason); },
                  [this](std::string* reason) { return file_.flush(reason); },
                  [this](std::string* reason) { return file_.close(reason); }},
                 "Recording stopped: cannot write " + path + ": ",
                 "Recording may be incomplete: closing " + path + " failed: ");
    return true;
}

void StatusRecorder::stop()
{
    drain_.stop();
    delete reader_;
    reader_ = nullptr;
}

std::string StatusRecorder::takeError()
{
    return drain_.takeError();
}

bool StatusRecorder::writePending(std::string* reason)
{
    for (;;) {
        const int n = reader_->events.read(reader_->batch.data(), kBatch);
        for (int i = 0; i < n; ++i) {
            const LineEvent& e = reader_->batch[static_cast<size_t>(i)];
            std::int16_t words[DATAITEMOR_COUNT];
            if (!StatusReplyWords(e, words)) continue;
            fillRow(e, words, &reader_->row);
            if (!file_.writeLine(CsvLine(reader_->row), reason)) return false;
            ++rows_;
        }
        if (n < kBatch) return true;
    }
}
