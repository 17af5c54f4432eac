#include "app/report_command.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <memory>
#include <vector>

#include "app/command_capture.h"
#include "app/command_status.h"
#include "app/qt_text.h"
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

// The command's words for a person, on standard error.
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};

using qtext::qs;
using qtext::text;

// Why `path` cannot take the report, before the line is opened for it: its
// folder is not there or is no folder. "" when it looks writable.
std::string unwritable(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists()) return text(Tr::tr("the folder %1 does not exist").arg(folder.filePath()));
    if (!folder.isDir()) return text(Tr::tr("%1 is not a folder").arg(folder.filePath()));
    if (file.isDir()) return text(Tr::tr("%1 is a folder").arg(qs(path)));
    return "";
}

// The report of a capture file, to `path`.
int replayReport(const ReportOptions& o, ReportInputs reference, const std::string& path,
                 const std::function<void(const std::string&)>& report, std::FILE* out)
{
    QFile file(QString::fromStdString(o.replay));
    if (!file.open(QIODevice::ReadOnly)) {
        report(text(Tr::tr("cannot read %1: %2").arg(qs(o.replay), file.errorString())));
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
        report(text(Tr::tr("%1: %2 (the report has what came before)").arg(qs(o.replay), qs(r.error))));
    }
    if (r.statusReplies == 0) {
        report(text(Tr::tr("%1: no status reply in the capture; no report written").arg(qs(o.replay))));
        return kCommandNoAnswer;
    }
    if (!r.inputs.parametersRead) {
        report(text(
            Tr::tr("%1: no read of the parameters in the capture; no report written").arg(qs(o.replay))));
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
    report(text(Tr::tr("%1 fault events; the report is in %2").arg(in.faults.size()).arg(qs(path))));
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
        report(text(Tr::tr("cannot write %1: %2").arg(qs(path), qs(why))));
        return kCommandBadInput;
    }
    if (!o.replay.empty()) return replayReport(o, std::move(in), path, report, out);

    const std::string journalPath = ConsoleStateDir() + "/" + kFaultJournalName;
    FaultJournal journal(journalPath, [report](const std::string& message) {
        if (!message.empty()) report(text(Tr::tr("%1 (the report goes on)").arg(qs(message))));
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
        report(text(Tr::tr("cannot open %1").arg(qs(o.port.device))));
        return kCommandNoAnswer;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", o.durationS);
    report(text(
        Tr::tr("collecting %1 s of status from %2").arg(QString::fromLatin1(seconds), qs(o.port.device))));
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
            report(text(Tr::tr("%1: the port failed").arg(qs(o.port.device))));
            return kCommandNoAnswer;
        }
        if (firstUs < 0 && (stop || now - startUs > giveUpUs)) {
            report(text(Tr::tr("%1: no status reply; no report written").arg(qs(o.port.device))));
            return kCommandNoAnswer;
        }
        if (stop) {
            report(text(Tr::tr("interrupted: the report is made of what came so far")));
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
        report(text(Tr::tr("%1: the parameters could not be read (%2); no report written")
                        .arg(qs(o.port.device), qs(error))));
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
    report(text(Tr::tr("%1 fault events; the report is in %2").arg(in.faults.size()).arg(qs(path))));
    return kCommandOk;
}
