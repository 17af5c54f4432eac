// A recorded session played back: a session against the simulated controller
// is captured as `watch` or `dump` runs it live on the stepped clock, then the
// capture is played back, headless and in the window, and must give what the
// live run gave. Files that are no capture of the line are refused.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

#include "app/command_line.h"
#include "app/fault_window.h"
#include "app/replay_window.h"
#include "engine/console_state.h"
#include "engine/line_capture.h"
#include "modbus/capture_file.h"
#include "modbus/line_events.h"
#include "modbus/write_outcome.h"
#include "model/uir_ids.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "serial/line_machine.h"
#include "serial/replay_port.h"
#include "sets/parameter_set.h"
#include "tests/support/capture_items.h"
#include "tests/support/command_test.h"
#include "tests/support/console_window.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace {

std::vector<std::string> fileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<unsigned char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::map<int, int> wordsOf(const psets::ParameterSet& set)
{
    std::map<int, int> words;
    for (const psets::Entry& e : set.entries) words[e.reg] = e.word;
    return words;
}

struct Outcome {
    int rc = -1;
    std::string out;
    std::string err;
};

Outcome command(const std::vector<std::string>& args)
{
    testsupport::StreamCapture out;
    testsupport::StreamCapture err;
    Outcome r;
    r.rc = RunCommand(args, out.file(), err.file());
    r.out = out.text();
    r.err = err.text();
    return r;
}

// The simulated controller on a pseudo-terminal, and a command run live on it
// with the line captured to a file.
class Replayed : public testsupport::SimulatedCommandTest {
protected:
    // Runs `args` live on the simulator with the line captured to capture.pcapng.
    Outcome live(std::vector<std::string> args) { return liveRuns({std::move(args)}).back(); }
    // Runs the commands one after the other, each opening the port again, with
    // the line captured to one file; `before` is called before each.
    std::vector<Outcome> liveRuns(std::vector<std::vector<std::string>> runs,
                                  const std::function<void(std::size_t)>& before = {})
    {
        LineCapture capture(TheLine());
        std::string error;
        EXPECT_TRUE(capture.start(capturePath(), &error)) << error;
        std::vector<Outcome> outcomes;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            runs[i].insert(runs[i].begin() + 1, {"--device", path_});
            if (before) before(i);
            stepped_->rebase();
            outcomes.push_back(command(runs[i]));
        }
        capture.stop();
        // The replay keeps the console's time itself.
        stepped_.reset();
        return outcomes;
    }
    std::string capturePath() const { return file("capture.pcapng"); }

    // The pages read, then the status polled with a fault on from 1.5 s to
    // 2.5 s: what the window asks for as it opens the port, over two
    // openings of it. The journals are removed for the replay to leave alone.
    std::vector<Outcome> captureWindowSession()
    {
        const std::vector<Outcome> runs = liveRuns(
            {{"dump", "--out", file("live.json")}, {"watch", "--duration", "3.5"}}, [this](std::size_t i) {
                const std::int64_t t = sim_.timeMs();
                if (i == 1) {
                    ASSERT_TRUE(sim_.schedule({{t + 1500, 2762, 0x0002}, {t + 2500, 2762, 0}}));
                }
            });
        std::remove(writesJournal().c_str());
        std::remove(faultsJournal().c_str());
        return runs;
    }
    static std::string writesJournal() { return ConsoleStateDir() + "/writes.csv"; }
    static std::string faultsJournal() { return ConsoleStateDir() + "/faults.csv"; }

    // The window replaying the capture at `speed`: `check` runs on the UI
    // thread once the window runs, then the console quits. Nothing may reach
    // the controller or the journals.
    void replayInWindow(double speed, const std::function<void()>& check)
    {
        const std::size_t requestsBefore = sim_.requestCount();
        ResetConsoleState();
        ASSERT_TRUE(qtui::InitUserInterface(testsupport::WindowArguments::argc(),
                                            testsupport::WindowArguments::argv()));
        std::string error;
        ASSERT_TRUE(StartWindowReplay(capturePath(), speed, &error)) << error;
        QTimer::singleShot(0, [&] {
            check();
            testsupport::FindControl<QPushButton>(panelMain.load(), "QUITBUTTON")->click();
        });
        ConsoleOptions options;
        EXPECT_EQ(
            WinMain(testsupport::WindowArguments::argc(), testsupport::WindowArguments::argv(), options), 0);
        qtui::ShutdownUserInterface();
        EXPECT_FALSE(WindowReplaying());
        EXPECT_EQ(sim_.requestCount(), requestsBefore) << "a byte reached the controller";
        EXPECT_FALSE(QFile::exists(QString::fromStdString(writesJournal())));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(faultsJournal())));
    }
};

// The fault events the window lists, newest first, a row as its cells.
std::vector<std::string> shownFaultEvents()
{
    PumpFaultHistory();
    std::vector<std::string> rows;
    auto* events = FaultWidget()->findChild<QTableView*>("FAULT_EVENTS");
    if (events == nullptr) return rows;
    const QAbstractItemModel* m = events->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) cells << m->index(r, c).data().toString();
        rows.push_back(cells.join(" | ").toStdString());
    }
    return rows;
}

}  // namespace

// The events, their times and first-out marks, printed and in the --out file,
// are those of the live watch that made the capture; so is the exit status.
TEST_F(Replayed, WatchOfACaptureGivesTheEventsOfTheLiveWatch)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule(
        {{t + 1500, 2762, 0x0002}, {t + 2500, 2763, 0x0001}, {t + 3500, 2762, 0}, {t + 4000, 2763, 0}}));
    const Outcome was = live({"watch", "--duration", "5", "--out", file("live.csv")});
    ASSERT_EQ(was.rc, kCommandDiffers) << was.err;

    const Outcome again = command({"watch", "--replay", capturePath(), "--out", file("replay.csv")});
    EXPECT_EQ(again.rc, kCommandDiffers) << again.err;
    EXPECT_TRUE(contains(again.err, "end of capture")) << again.err;
    EXPECT_EQ(again.out, was.out);
    EXPECT_EQ(fileLines(file("replay.csv")), fileLines(file("live.csv")));
    EXPECT_EQ(std::count(again.out.begin(), again.out.end(), '\n'), 4) << again.out;
}

// The same session as classic pcap, which has no directions: the requests
// are told from the replies by their form, and the events are the same.
TEST_F(Replayed, ClassicPcapOfTheCaptureReplaysAlike)
{
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1200, 2764, 0x0100}, {t + 2400, 2764, 0}}));
    const Outcome was = live({"watch", "--duration", "3"});
    ASSERT_EQ(was.rc, kCommandDiffers) << was.err;
    const testsupport::CaptureItems items = testsupport::ReadCaptureFile(capturePath());
    ASSERT_EQ(items.error, "");
    std::vector<unsigned char> pcap;
    const auto u32 = [&pcap](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) pcap.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    for (std::uint32_t v : {0xa1b2c3d4u, 0x00040002u, 0u, 0u, 65535u, 147u}) u32(v);
    for (const CapturePacket& p : items.packets) {
        u32(static_cast<std::uint32_t>(p.timeUs / 1000000));
        u32(static_cast<std::uint32_t>(p.timeUs % 1000000));
        u32(static_cast<std::uint32_t>(p.bytes.size()));
        u32(static_cast<std::uint32_t>(p.bytes.size()));
        pcap.insert(pcap.end(), p.bytes.begin(), p.bytes.end());
    }
    writeBytes(file("capture.pcap"), pcap);

    const Outcome again = command({"watch", "--replay", file("capture.pcap")});
    EXPECT_EQ(again.rc, kCommandDiffers) << again.err;
    EXPECT_EQ(again.out, was.out);
}

// dump of a capture gives the set the controller held, read as the live dump
// read it; a capture that never read the pages says so and holds none of them.
TEST_F(Replayed, DumpOfACaptureGivesTheSetTheControllerHeld)
{
    sim_.setRegister(2550, 57);
    sim_.setRegister(2630, -3);
    const Outcome was = live({"dump", "--out", file("live.json")});
    ASSERT_EQ(was.rc, kCommandOk) << was.err;

    const Outcome again = command({"dump", "--replay", capturePath(), "--out", file("replay.json")});
    ASSERT_EQ(again.rc, kCommandOk) << again.err;
    EXPECT_FALSE(contains(again.err, "missing")) << again.err;
    psets::ParameterSet held;
    psets::ParameterSet replayed;
    std::string error;
    ASSERT_TRUE(psets::LoadSetFile(file("live.json"), &held, &error)) << error;
    ASSERT_TRUE(psets::LoadSetFile(file("replay.json"), &replayed, &error)) << error;
    ASSERT_FALSE(replayed.entries.empty());
    EXPECT_EQ(wordsOf(replayed), wordsOf(held));
    EXPECT_EQ(wordsOf(replayed)[2550], 57);
    EXPECT_EQ(wordsOf(replayed)[2630], -3);

    // A watch reads no page: its capture gives an empty set, and names the pages.
    stepped_.emplace(sim_);
    ASSERT_EQ(live({"watch", "--duration", "1"}).rc, kCommandOk);
    const Outcome none = command({"dump", "--replay", capturePath()});
    EXPECT_EQ(none.rc, kCommandOk) << none.err;
    EXPECT_TRUE(contains(none.err, "never read these pages: ")) << none.err;
    EXPECT_FALSE(contains(none.out, "\"reg\"")) << none.out;
}

// A file that is not a whole capture of the line is refused before anything
// else happens: exit 3, the file and the byte where it went wrong named, no
// port opened.
TEST_F(Replayed, FilesThatAreNoCaptureOfTheLineAreRefused)
{
    ASSERT_EQ(live({"watch", "--duration", "1"}).rc, kCommandOk);
    const std::vector<unsigned char> good = fileBytes(capturePath());
    ASSERT_GT(good.size(), 200u);
    std::vector<unsigned char> otherLink = good;
    // The first interface follows the section header; its link type is its first field.
    const std::uint32_t shb = otherLink[4] | otherLink[5] << 8 | otherLink[6] << 16 | otherLink[7] << 24;
    ASSERT_EQ(otherLink[shb + 8], 147);
    otherLink[shb + 8] = 1;
    struct Bad {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* why;
    };
    const Bad bad[] = {
        {"empty.pcapng", {}, "byte 0"},
        {"cut.pcapng", std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2 + 3), "byte "},
        {"ethernet.pcapng", otherLink, "byte "},
    };
    for (const Bad& b : bad) {
        const std::string path = file(b.name);
        writeBytes(path, b.bytes);
        for (const char* cmd : {"watch", "dump"}) {
            const Outcome r = command({cmd, "--replay", path, "--out", file("out")});
            EXPECT_EQ(r.rc, kCommandBadInput) << b.name << " " << cmd;
            EXPECT_TRUE(contains(r.err, "drive-console: " + path + ": " + b.why)) << r.err;
            EXPECT_EQ(r.out, "");
            EXPECT_FALSE(QFile::exists(QString::fromStdString(file("out")))) << b.name;
        }
    }
}

// The window playing a capture back: the main panel ends on the last values
// captured, the fault history lists the captured events with their times, and
// an "__OK" ends "not written: replay" with no byte to any device and no line
// in writes.csv or faults.csv.
TEST_F(Replayed, TheWindowShowsTheCaptureAndWritesNothing)
{
    const int battery = 32767 / 600 * 48;
    sim_.setRegister(2749, static_cast<std::uint16_t>(battery));
    const std::vector<Outcome> runs = captureWindowSession();
    ASSERT_EQ(runs[0].rc, kCommandOk) << runs[0].err;
    const Outcome& was = runs[1];
    ASSERT_EQ(was.rc, kCommandDiffers) << was.err;

    replayInWindow(0, [&] {
        ASSERT_TRUE(testsupport::RunUntil([] { return WindowReplayEnded(); }, 30000));
        // The panels show what the line gave on their own timer.
        double shown = 0;
        testsupport::RunUntil(
            [&] {
                GetCtrlVal(panelMain.load(), uir::panel_main::NUMERIC_QUERY_1, &shown);
                return std::abs(shown - battery * 600.0 / 32767) < 1e-9;
            },
            5000);
        EXPECT_NEAR(shown, battery * 600.0 / 32767, 1e-9);
        PumpFaultHistory();
        auto* events = FaultWidget()->findChild<QTableView*>("FAULT_EVENTS");
        ASSERT_NE(events, nullptr);
        ASSERT_EQ(events->model()->rowCount(), 2);
        // Newest first; the time column as the live watch printed it.
        EXPECT_EQ(events->model()->index(0, 1).data().toString(), "OFF");
        EXPECT_EQ(events->model()->index(1, 1).data().toString(), "ON");
        const std::string onTime = events->model()->index(1, 0).data().toString().toStdString();
        EXPECT_TRUE(contains(was.out, onTime.substr(11))) << onTime << " in " << was.out;

        const int page1 = panel_set_tab[0].load();
        auto* overVolt = testsupport::FindControl<QDoubleSpinBox>(page1, "TAB1_NUMERIC_SET_3");
        auto* ok = testsupport::FindControl<QPushButton>(page1, "TAB1_SEND_3");
        auto* line = testsupport::FindControl<QLabel>(panel_set.load(), "WRITE_STATUS");
        ASSERT_TRUE(overVolt != nullptr && ok != nullptr && line != nullptr);
        overVolt->setValue(58);
        ok->click();
        EXPECT_TRUE(testsupport::RunUntil(
            [&] { return line->text().startsWith("Over volt = 58 V not written: replay"); }, 5000))
            << line->text().toStdString();
    });
}

// Moving the replay's slider back plays the capture again from its start up
// to there: the window then shows what a replay moved straight to that point
// shows (the fault events, the link counters and response times, the captured
// time), and goes on paused as it was, at the speed chosen.
TEST_F(Replayed, MovingTheSliderBackShowsWhatThatMomentShowed)
{
    const std::vector<Outcome> runs = captureWindowSession();
    ASSERT_EQ(runs[1].rc, kCommandDiffers) << runs[1].err;
    ReplayRecording recording;
    std::string error;
    ASSERT_TRUE(recording.load(capturePath(), &error)) << error;
    ASSERT_EQ(recording.blocks().size(), 2u);
    // While the fault is on in the watch's opening of the port, and after its end.
    const std::int64_t during = (recording.blocks()[1].firstUs + recording.blocks()[1].lastUs) / 2;
    const std::int64_t later = recording.lastUs();

    struct Shown {
        std::vector<std::string> events;
        std::string time;
        LinkCounters counters;
    };
    QWidget* bar = nullptr;
    const auto control = [&bar](const char* name) { return bar->findChild<QWidget*>(name); };
    const auto shown = [&] {
        return Shown{shownFaultEvents(), static_cast<QLabel*>(control("REPLAY_TIME"))->text().toStdString(),
                     ReadLinkCounters()};
    };
    // Moves the slider to `us` and waits for the replay to stand there.
    const auto seek = [&](std::int64_t us) {
        auto* slider = static_cast<QSlider*>(control("REPLAY_POSITION"));
        auto* play = static_cast<QPushButton*>(control("REPLAY_PLAY"));
        slider->setValue(static_cast<int>((us - recording.firstUs()) / 100000));
        emit slider->sliderReleased();
        EXPECT_EQ(play->text(), "Pause");
        EXPECT_TRUE(testsupport::RunUntil([&] { return play->text() == "Play"; }, 30000));
    };
    const auto sameCounts = [](const LinkCounters& a, const LinkCounters& b) {
        // The password timer runs on real time: its writes are left out.
        EXPECT_EQ(a.requests - a.passwordWrites, b.requests - b.passwordWrites);
        EXPECT_EQ(a.repliesOk, b.repliesOk);
        EXPECT_EQ(a.timeouts, b.timeouts);
        EXPECT_EQ(a.crcErrors + a.otherRejects + a.exceptions, b.crcErrors + b.otherRejects + b.exceptions);
        EXPECT_EQ(a.responseMaxUs, b.responseMaxUs);
        EXPECT_EQ(a.lastGoodReplyWallMs, b.lastGoodReplyWallMs);
    };

    replayInWindow(1, [&] {
        ASSERT_TRUE(testsupport::RunUntil(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->objectName() == "PANEL_REPLAY") bar = w;
                }
                return bar != nullptr;
            },
            10000));
        static_cast<QPushButton*>(control("REPLAY_PLAY"))->click();  // paused at once
        seek(during);
        const Shown fresh = shown();
        // Before the fault went off: fewer events than at the end.
        EXPECT_LT(fresh.events.size(), 2u) << fresh.time;
        EXPECT_GT(fresh.counters.repliesOk, 0u);

        seek(later);
        EXPECT_EQ(shownFaultEvents().size(), 2u);
        EXPECT_GT(ReadLinkCounters().repliesOk, fresh.counters.repliesOk);

        seek(during);
        const Shown again = shown();
        EXPECT_EQ(again.events, fresh.events);
        EXPECT_EQ(again.time, fresh.time);
        sameCounts(again.counters, fresh.counters);
        EXPECT_EQ(static_cast<QComboBox*>(control("REPLAY_SPEED"))->currentText(), "1×");
        // Quitting while paused ends the console (the line is held, not stuck).
    });
}
