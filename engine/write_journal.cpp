#include "engine/write_journal.h"

#include <cstdio>
#include <ctime>

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

WriteJournal::WriteJournal(const std::string& folder, std::function<void(const std::string&)> onProblem)
    : file_(folder + "/writes.csv", kWriteJournalHeader, std::move(onProblem))
{
    token_ = AddWriteObserver([this](const WriteRecord& r) { file_.append(WriteJournalLine(r)); });
}

WriteJournal::~WriteJournal()
{
    RemoveWriteObserver(token_);
}
