#include "app/watch_command.h"

#include <QCoreApplication>
#include <memory>
#include <string>

#include "app/command_capture.h"
#include "app/command_status.h"
#include "app/qt_text.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "engine/fault_tracker.h"
#include "engine/status_text.h"
#include "engine/traffic_decode.h"
#include "modbus/line_state.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/link_health.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "platform/os/stop_signals.h"
#include "serial/line_machine.h"
#include "serial/port_open.h"
#include "serial/replay_port.h"
#include "serial/rs232.h"

namespace {

constexpr int kLookMs = 100;  // how often the watch reads the line's events

// The watch's words for a person, on standard error; its event lines are for
// scripts and stay as they are.
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};

using qtext::qs;

// One line per event on standard output, as it happens.
class EventPrinter : public FaultObserver {
public:
    explicit EventPrinter(std::FILE* out) : out_(out) {}
    void faultEvent(const FaultEvent& e) override
    {
        std::string detail;
        switch (e.kind) {
            case FaultEventKind::On:
                detail = e.first ? "first: yes" : "first: no";
                break;
            case FaultEventKind::Off:
                detail = FaultDurationText(e.durationS) + " s";
                break;
            case FaultEventKind::Lost:
                detail = FaultDurationText(e.durationS) + " s so far, link lost";
                break;
        }
        std::fprintf(out_, "%s  %-4s  %d bit %-2d  %s  %s\n", IsoTime(e.wallMs).c_str(),
                     FaultEventName(e.kind), e.registerAddress(), e.bitInWord(), FaultCaption(e.bit).c_str(),
                     detail.c_str());
        std::fflush(out_);
        if (e.kind == FaultEventKind::On) ++onsets_;
    }
    int onsets() const { return onsets_; }

private:
    std::FILE* out_;
    int onsets_ = 0;
};

std::string seconds(double s, int decimals = 1)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f s", decimals, s);
    return text;
}

// What is still on at the end, for the closing line.
std::string stillOn(const FaultTracker& tracker)
{
    std::string text;
    for (int bit = 0; bit < kFaultBitCount; ++bit) {
        if (!tracker.isOn(bit)) continue;
        text += (text.empty() ? "" : "; ") +
                Tr::tr("%1 (since %2)")
                    .arg(qs(FaultCaption(bit)), qs(IsoTime(tracker.onSinceWallMs(bit))))
                    .toStdString();
    }
    return text;
}

}  // namespace

int RunWatch(const WatchOptions& o, std::FILE* out, std::FILE* err)
{
    StopSignals stops;
    const auto report = [err](const std::string& message) {
        std::fprintf(err, "drive-console: %s\n", message.c_str());
    };
    const auto say = [report](const QString& message) { report(message.toStdString()); };
    // A journal's trouble, and its end: the lines kept meanwhile are written then.
    const auto problem = [report](const std::string& path) {
        return [report, path](const std::string& message) {
            const QString text = message.empty() ? Tr::tr("%1 is written again").arg(qs(path))
                                                 : Tr::tr("%1 (the watch goes on)").arg(qs(message));
            report(text.toStdString());
        };
    };
    std::unique_ptr<FaultJournal> file;
    if (!o.out.empty()) {
        file = std::make_unique<FaultJournal>(o.out, problem(o.out));
        std::string error;
        if (!file->truncate(&error)) {
            say(Tr::tr("cannot write %1: %2").arg(qs(o.out), qs(error)));
            return kCommandBadInput;
        }
    }
    const std::string journalPath = ConsoleStateDir() + "/" + kFaultJournalName;
    FaultJournal journal(journalPath, problem(journalPath));
    FaultTracker tracker;
    EventPrinter printer(out);
    tracker.addObserver(&printer);
    // The events of a replay are the capture's, not this controller's now: faults.csv is left alone.
    if (!Replaying()) tracker.addObserver(&journal);
    if (file) tracker.addObserver(file.get());
    FaultFeed feed(tracker, TheLine().observers());
    // A replay goes as fast as this watch takes in what it plays.
    if (o.port.replay != nullptr)
        o.port.replay->setHold([&feed] { return feed.backlog() > kFaultFeedQueue / 2; });
    // A fatal port error ends the process at once: the events so far are written first.
    const FatalErrorHook fatalError([&] {
        feed.pump();
        journal.drain();
        if (file) file->drain();
    });

    int rc = kCommandOk;
    {
        const CommandPort port(o.port, CommandReads::Status);
        if (!port.open()) {
            report(port.openFailure());
            return kCommandNoAnswer;
        }
        Replay* const replay = o.port.replay;
        if (replay != nullptr) {
            say(Tr::tr("replaying %1; times are those of the capture").arg(qs(replay->recording().name())));
        } else {
            say(Tr::tr("watching %1; times are those of the status replies, exact to one status read (about "
                       "%2 s)")
                    .arg(qs(o.port.device), QString::fromLatin1(o.port.fastLine ? "0.05" : "0.5")));
        }
        const std::int64_t startUs = ClockUs();
        std::int64_t firstUs = -1;  // first status reply
        std::int64_t lastUs = -1;   // latest status reply
        for (;;) {
            const bool stop = stops.wait(kLookMs);
            // The time first, then the replies: a status reply that came
            // before `now` is in the feed by then.
            const std::int64_t now = ClockUs();
            feed.pump();
            if (o.capture != nullptr) o.capture->look();
            if (tracker.tracking()) {
                lastUs = tracker.lastReply().clockUs;
                if (firstUs < 0) firstUs = lastUs;
            }
            if (stop) {
                say(Tr::tr("interrupted"));
                break;
            }
            // The end of a capture is the end of the watch, not a silence.
            if (replay != nullptr && replay->finished()) {
                say(Tr::tr("end of capture"));
                break;
            }
            if (!PortOpen()) {
                say(Tr::tr("%1: the port failed").arg(qs(o.port.device)));
                rc = kCommandNoAnswer;
                break;
            }
            const std::int64_t giveUpUs = static_cast<std::int64_t>(o.giveUpMs) * 1000;
            // Before the first status reply the controller may still be
            // answering: the password echo comes first, and at 100 ms passes
            // the first status reply about a second after the open. Given up
            // only when nothing at all has answered within the time-out.
            const std::int64_t answeredMs = MsSinceAcceptedReply();
            const bool answering = answeredMs >= 0 && answeredMs <= o.giveUpMs;
            if (firstUs < 0 && now - startUs > giveUpUs && !answering) {
                const QString silent =
                    Unlocked() ? Tr::tr("%1: no status reply within %2")
                               : Tr::tr("%1: the controller did not accept the password within %2");
                say(silent.arg(qs(o.port.device), qs(seconds(o.giveUpMs / 1000.0))));
                rc = kCommandNoAnswer;
                break;
            }
            if (firstUs >= 0 && now - lastUs > giveUpUs) {
                say(Tr::tr("%1: no status reply for %2")
                        .arg(qs(o.port.device), qs(seconds(static_cast<double>(now - lastUs) / 1e6))));
                // Given up: the faults still on are lost now, however short the time-out.
                if (tracker.tracking())
                    tracker.linkLost(tracker.lastReply().wallMs, tracker.lastReply().clockUs);
                rc = kCommandNoAnswer;
                break;
            }
            if (o.durationS > 0 && firstUs >= 0 &&
                now - firstUs >= static_cast<std::int64_t>(o.durationS * 1e6))
                break;
        }
    }
    if (o.port.replay != nullptr) o.port.replay->setHold({});
    feed.pump();  // what the line reported since the last look
    journal.drain();
    if (file) file->drain();

    const std::string on = stillOn(tracker);
    QString summary = Tr::tr("%1 fault onsets").arg(printer.onsets());
    if (tracker.readIntervalS() > 0)
        summary += Tr::tr(", a status read every %1").arg(qs(seconds(tracker.readIntervalS(), 2)));
    if (!on.empty()) summary += Tr::tr("; still on: %1").arg(qs(on));
    say(summary);
    const bool fileFailed = file && file->unwritten() > 0;
    if (fileFailed) say(Tr::tr("%1 events could not be written to %2").arg(file->unwritten()).arg(qs(o.out)));
    // A fault seen is the finding, however the run ended: a controller that
    // cuts out after a fault is what a burn-in is for, and a bench that took
    // it for a loose cable would run the unit again; an --out file that
    // failed on the way is told above, and faults.csv has the events too.
    // Without one, a run cut short by silence, a failed port or a file that
    // failed is no pass.
    if (tracker.anySeen()) return kCommandDiffers;
    return fileFailed ? kCommandBadInput : rc;
}
