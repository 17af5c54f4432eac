#include "app/report_command.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <memory>
#include <vector>

#include "app/command_capture.h"
#include "app/command_status.h"
#include "app/version.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "modbus/line_state.h"
#include "model/line_flags.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/os/stop_signals.h"
#include "report/capture_report.h"
#include "report/run_log.h"
#include "report/service_report.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "sets/set_line.h"

namespace {

constexpr int kLookMs = 100;  // how often the command reads the line's events

// Why `path` cannot take the report, before the line is opened for it: its
// folder is not there or is no folder. "" when it looks writable.
std::string unwritable(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists()) return "the folder " + folder.filePath().toStdString() + " does not exist";
    if (!folder.isDir()) return folder.filePath().toStdString() + " is not a folder";
    if (file.isDir()) return path + " is a folder";
    return "";
}

// The report of a capture file, to `path`.
int replayReport(const ReportOptions& o, ReportInputs reference, const std::string& path,
                 const std::function<void(const std::string&)>& report, std::FILE* out)
{
    QFile file(QString::fromStdString(o.replay));
    if (!file.open(QIODevice::ReadOnly)) {
        report("cannot read " + o.replay + ": " + file.errorString().toStdString());
        return kCommandBadInput;
    }
    const QByteArray bytes = file.readAll();
    CaptureReport r =
        ReportFromCapture(std::vector<unsigned char>(bytes.begin(), bytes.end()), ConsoleVersion());
    if (!r.error.empty()) {
        if (r.statusReplies == 0) {
            report(o.replay + ": " + r.error);
            return kCommandBadInput;
        }
        report(o.replay + ": " + r.error + " (the report has what came before)");
    }
    if (r.statusReplies == 0) {
        report(o.replay + ": no status reply in the capture; no report written");
        return kCommandNoAnswer;
    }
    if (!r.inputs.parametersRead) {
        report(o.replay + ": no read of the parameters in the capture; no report written");
        return kCommandNoAnswer;
    }
    ReportInputs& in = r.inputs;
    in.reference = std::move(reference.reference);
    in.referenceName = reference.referenceName;
    in.madeFrom = QFileInfo(file).fileName().toStdString();
    std::string error;
    if (!SaveReport(path, in, &error)) {
        report(error);
        return kCommandBadInput;
    }
    std::fprintf(out, "%s\n", path.c_str());
    report(std::to_string(in.faults.size()) + " fault events; the report is in " + path);
    return kCommandOk;
}

}  // namespace

int RunReport(const ReportOptions& o, std::FILE* out, std::FILE* err)
{
    StopSignals stops;
    const auto report = [err](const std::string& message) {
        std::fprintf(err, "drive-console: %s\n", message.c_str());
    };
    ReportInputs in;
    std::string error;
    if (!o.reference.empty()) {
        psets::ParameterSet set;
        if (!psets::LoadSetFile(o.reference, &set, &error)) {
            report(error);
            return kCommandBadInput;
        }
        in.reference = set;
        in.referenceName = QFileInfo(QString::fromStdString(o.reference)).fileName().toStdString();
    }
    const std::string path = o.out.empty() ? ReportFileName(QDateTime::currentMSecsSinceEpoch()) : o.out;
    const std::string why = unwritable(path);
    if (!why.empty()) {
        report("cannot write " + path + ": " + why);
        return kCommandBadInput;
    }
    if (!o.replay.empty()) return replayReport(o, std::move(in), path, report, out);

    const std::string journalPath = ConsoleStateDir() + "/" + kFaultJournalName;
    FaultJournal journal(journalPath, [report](const std::string& message) {
        if (!message.empty()) report(message + " (the report goes on)");
    });
    FaultTracker tracker;
    RunLog log;
    tracker.addObserver(&log);
    tracker.addObserver(&journal);
    FaultFeed feed(tracker, TheLine().observers());
    const FatalErrorHook fatalError([&] {
        feed.pump();
        journal.drain();
    });

    const CommandPort port(o.port, CommandReads::Status);
    if (!port.open()) {
        report("cannot open " + o.port.device);
        return kCommandNoAnswer;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", o.durationS);
    report(std::string("collecting ") + seconds + " s of status from " + o.port.device);
    const std::int64_t startUs = ClockUs();
    const std::int64_t giveUpUs = static_cast<std::int64_t>(o.giveUpMs) * 1000;
    std::int64_t firstUs = -1;
    for (;;) {
        const bool stop = stops.wait(kLookMs);
        feed.pump();
        if (o.capture != nullptr) o.capture->look();
        const std::int64_t now = ClockUs();
        if (tracker.tracking() && firstUs < 0) firstUs = tracker.lastReply().clockUs;
        if (!PortOpen()) {
            report(o.port.device + ": the port failed");
            return kCommandNoAnswer;
        }
        if (firstUs < 0 && (stop || now - startUs > giveUpUs)) {
            report(o.port.device + ": no status reply; no report written");
            return kCommandNoAnswer;
        }
        if (stop) {
            report("interrupted: the report is made of what came so far");
            break;
        }
        if (firstUs >= 0 && now - firstUs >= static_cast<std::int64_t>(o.durationS * 1e6)) break;
    }
    // The fault history ends here: while the pages are read the status block
    // waits, and a gap in its replies is no loss of the link.
    feed.pump();
    journal.drain();
    const RunLog::Copy run = log.copy();
    if (!psets::ReadPagesFresh(o.giveUpMs, &error)) {
        report(o.port.device + ": the parameters could not be read (" + error + "); no report written");
        return kCommandNoAnswer;
    }
    in.madeWallMs = QDateTime::currentMSecsSinceEpoch();
    in.about = DescribeConsole(ConsoleVersion(), o.port.device);
    in.parametersRead = true;
    in.parameters = psets::TableWords();
    if (o.capture != nullptr) in.capture = o.capture->lastMinutes();
    in.faults = run.faults;
    in.writes = run.writes;
    in.link = ReadLinkCounters();
    if (!SaveReport(path, in, &error)) {
        report(error);
        return kCommandBadInput;
    }
    std::fprintf(out, "%s\n", path.c_str());
    report(std::to_string(in.faults.size()) + " fault events; the report is in " + path);
    return kCommandOk;
}
