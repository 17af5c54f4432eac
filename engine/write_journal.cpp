#include "engine/write_journal.h"

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
    });
}

WriteJournal::WriteJournal(const std::string& folder, std::function<void(const std::string&)> onProblem)
    : file_(folder + "/writes.csv", kWriteJournalHeader, std::move(onProblem))
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
