#include "engine/fault_journal.h"

#include <cstdio>

#include "engine/status_text.h"
#include "engine/traffic_decode.h"
#include "platform/os/csv_file.h"

std::string FaultJournalHeader()
{
    std::string header = "time,event,register,bit,caption,duration_s,first";
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) header += "," + CsvField(StatusColumnTitle(i));
    return header;
}

std::string FaultDurationText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds < 0 ? 0.0 : seconds);
    return text;
}

std::string FaultJournalLine(const FaultEvent& e)
{
    const bool on = e.kind == FaultEventKind::On;
    std::string line = IsoTime(e.wallMs) + "," + FaultEventName(e.kind) + "," +
                       std::to_string(e.registerAddress()) + "," + std::to_string(e.bitInWord()) + "," +
                       CsvField(FaultCaption(e.bit)) + "," + (on ? "" : FaultDurationText(e.durationS)) +
                       "," + (on ? (e.first ? "yes" : "no") : "");
    for (int i = 0; i < DATAITEMOR_COUNT; ++i) {
        line += ',';
        if (on) line += CsvField(StatusValueText(i, e.frame[static_cast<std::size_t>(i)]));
    }
    return line;
}

FaultJournal::FaultJournal(std::string path, std::function<void(const std::string&)> onProblem)
    : file_(std::move(path), FaultJournalHeader(), std::move(onProblem))
{
}
