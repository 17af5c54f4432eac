#include "engine/write_journal.h"

#include <chrono>
#include <cstdio>

#include "platform/os/clock.h"
#include "platform/os/csv_file.h"
#include "platform/os/gbk.h"

std::string WriteJournalLine(const WriteRecord& r)
{
    char value[32];
    std::snprintf(value, sizeof value, "%.6g", r.what.typed);
    char word[8];
    std::snprintf(word, sizeof word, "0x%04X", r.word);
    return CsvLine({
        IsoLocalTime(r.endedMs),
        GbkToUtf8Lenient(r.what.panel),
        GbkToUtf8Lenient(r.what.page),
        GbkToUtf8Lenient(r.what.caption),
        std::to_string(r.address),
        value,
        GbkToUtf8Lenient(r.what.unit),
        word,
        WriteOutcomeName(r.outcome),
        GbkToUtf8Lenient(r.detail),
        r.device,
    });
}

namespace {

// "FOLDER/writes-2026-12-09.csv": where a journal of an older layout goes.
std::string StaleName(const std::string& folder)
{
    using namespace std::chrono;
    const LocalTime t =
        LocalTimeAt(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
    return folder + "/writes-" + date + ".csv";
}

}  // namespace

WriteJournal::WriteJournal(const std::string& folder, std::function<void(const std::string&)> onProblem,
                           std::function<void(const std::string&)> onNote)
    : file_(folder + "/writes.csv", kWriteJournalHeader, std::move(onProblem), StaleName(folder),
            std::move(onNote))
{
    // A press during a replay wrote nothing to any controller: it is no line of the audit trail.
    token_ = AddWriteObserver([this](const WriteRecord& r) {
        if (r.outcome != WriteOutcome::Replay) file_.append(WriteJournalLine(r));
    });
}

WriteJournal::~WriteJournal()
{
    RemoveWriteObserver(token_);
}
