// drive-console serve against the simulated controller over a
// pseudo-terminal, on the stepped clock: requests go in through a pipe as a
// script would send them, and the simulator's request log is the record of
// what went over the line.
#include "app/serve_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/command_capture.h"
#include "app/command_line.h"
#include "rpc/json_rpc.h"
#include "sets/parameter_set.h"
#include "tests/support/capture_items.h"
#include "tests/support/stepped_simulator.h"
#include "tests/support/test_support.h"
#include "tools/sim/simulator.h"

namespace {

using namespace std::chrono_literals;

struct Write {
    int reg;
    int word;
    bool operator==(const Write& o) const { return reg == o.reg && word == o.word; }
};

class Serve : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_STATE_HOME", dir_.filePath("state").toLocal8Bit().constData(), 1);
        path_ = sim_.start();
        ASSERT_FALSE(path_.empty()) << sim_.error();
        // The simulator's own passing faults stay out of the way.
        for (int reg = 2762; reg <= 2764; ++reg) sim_.setRegister(reg, 0);
        stepped_.emplace(sim_);
    }
    void TearDown() override
    {
        if (server_.joinable()) finish();
        stepped_.reset();
        sim_.stop();
    }

    // Starts serve; requests are written to a pipe it reads as its input.
    void start(int timeoutS = 10, CommandCapture* capture = nullptr)
    {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        input_ = fdopen(fds[0], "r");
        toServe_ = fdopen(fds[1], "w");
        ServeOptions o;
        o.port.device = path_;
        o.giveUpMs = timeoutS * 1000;
        o.capture = capture;
        stepped_->rebase();
        server_ = std::thread([this, o] {
            rc_ = RunServe(
                o, [this](QByteArray* line, bool* tooLong) { return rpc::ReadLine(input_, line, tooLong); },
                [this](const QByteArray& json) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    lines_.push_back(QJsonDocument::fromJson(json).object());
                    changed_.notify_all();
                },
                err_.file());
        });
    }
    void sendLine(const std::string& line)
    {
        std::fputs((line + "\n").c_str(), toServe_);
        std::fflush(toServe_);
    }
    // The answer to the request with `id`, waiting for it.
    QJsonObject answerTo(int id)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        QJsonObject found;
        changed_.wait_for(lock, 60s, [&] {
            for (const QJsonObject& o : lines_) {
                if (o.contains("id") && o.value("id").toInt(-1) == id) found = o;
            }
            return !found.isEmpty();
        });
        return found;
    }
    QJsonObject call(const char* method, const QJsonObject& params = {})
    {
        const int id = ++nextId_;
        QJsonObject request{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}};
        if (!params.isEmpty()) request["params"] = params;
        sendLine(QJsonDocument(request).toJson(QJsonDocument::Compact).toStdString());
        return answerTo(id);
    }
    QJsonObject result(const char* method, const QJsonObject& params = {})
    {
        const QJsonObject a = call(method, params);
        EXPECT_TRUE(a.contains("result")) << method << ": " << QJsonDocument(a).toJson().toStdString();
        return a.value("result").toObject();
    }
    int errorCode(const char* method, const QJsonObject& params)
    {
        return call(method, params).value("error").toObject().value("code").toInt();
    }
    // The notifications named `method` so far.
    std::vector<QJsonObject> notifications(const char* method)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<QJsonObject> out;
        for (const QJsonObject& o : lines_) {
            if (!o.contains("id") && o.value("method").toString() == method)
                out.push_back(o.value("params").toObject());
        }
        return out;
    }
    int finish()
    {
        std::fclose(toServe_);
        server_.join();
        std::fclose(input_);
        return rc_;
    }
    std::vector<Write> parameterWrites()
    {
        std::vector<Write> writes;
        for (const sim::RequestRecord& r : sim_.requests()) {
            if (r.function == 6 && r.address != sim::kPasswordRegister)
                writes.push_back({r.address, static_cast<std::int16_t>(r.quantityOrValue)});
        }
        return writes;
    }
    std::vector<std::vector<std::string>> journal() const
    {
        auto lines = testsupport::ReadCsv(dir_.filePath("state/drive-console/writes.csv").toStdString());
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }
    int simWord(int reg) { return static_cast<std::int16_t>(sim_.registerValue(reg)); }

    QTemporaryDir dir_;
    sim::Simulator sim_;
    std::string path_;
    std::optional<testsupport::SteppedSimulator> stepped_;
    testsupport::StreamCapture err_;
    std::FILE* input_ = nullptr;
    std::FILE* toServe_ = nullptr;
    std::thread server_;
    int rc_ = -1;
    int nextId_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<QJsonObject> lines_;
};

TEST_F(Serve, ReadsGiveWhatTheControllerHolds)
{
    ASSERT_TRUE(sim_.setRegister(2762, 0x0002));
    start();
    const QJsonObject status = result("status.read");
    const QJsonArray values = status.value("values").toArray();
    ASSERT_EQ(values.size(), 26);
    EXPECT_EQ(values[0].toObject().value("register").toInt(), 2748);
    EXPECT_EQ(values[14].toObject().value("word").toInt(), 2);
    const QJsonArray faults = status.value("faults").toArray();
    ASSERT_EQ(faults.size(), 1);
    EXPECT_EQ(faults[0].toObject().value("register").toInt(), 2762);
    EXPECT_EQ(faults[0].toObject().value("bit").toInt(), 1);
    EXPECT_EQ(faults[0].toObject().value("caption").toString(), "overVolt");

    const QJsonArray all = result("parameters.read").value("parameters").toArray();
    EXPECT_EQ(all.size(), 70);
    for (const auto& v : all) {
        const QJsonObject p = v.toObject();
        EXPECT_EQ(p.value("word").toInt(), simWord(p.value("register").toInt()))
            << p.value("register").toInt();
    }
    // One register, asked for after the controller changed it: the new word.
    ASSERT_TRUE(sim_.setRegister(2550, 57));
    const QJsonArray one =
        result("parameters.read", {{"registers", QJsonArray{2550}}}).value("parameters").toArray();
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].toObject().value("word").toInt(), 57);
    EXPECT_EQ(one[0].toObject().value("value").toDouble(), 57.0);
    EXPECT_EQ(one[0].toObject().value("unit").toString(), "V");
    const QJsonObject info = result("console.info");
    EXPECT_TRUE(info.value("link").toObject().value("unlocked").toBool());
    EXPECT_EQ(info.value("framing").toString(), "8O1");
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_TRUE(parameterWrites().empty());
}

TEST_F(Serve, AWriteIsOneRequestConfirmedAndJournaledAsTheApi)
{
    start();
    const QJsonObject w = result("parameters.write", {{"register", 2550}, {"value", 58}});
    EXPECT_EQ(w.value("outcome").toString(), "confirmed");
    EXPECT_EQ(w.value("word").toInt(), 58);
    EXPECT_EQ(w.value("holds").toInt(), 58);
    const QJsonObject byCaption = result("parameters.write", {{"caption", "Over volt"}, {"word", 59}});
    EXPECT_EQ(byCaption.value("outcome").toString(), "confirmed");
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_EQ(parameterWrites(), (std::vector<Write>{{2550, 58}, {2550, 59}}));
    EXPECT_EQ(simWord(2550), 59);
    const auto lines = journal();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][1], "api");
    EXPECT_EQ(lines[0][4], "2550");
    EXPECT_EQ(lines[0][8], "confirmed");
}

// Requests sent all at once are answered in order, and the line still has
// one request at a time: each follows the reply to the one before.
TEST_F(Serve, RequestsSentAtOnceGoOnTheLineOneAtATime)
{
    start();
    std::string burst;
    for (int i = 0; i < 5; ++i) {
        burst += "{\"jsonrpc\":\"2.0\",\"id\":" + std::to_string(100 + i) +
                 ",\"method\":\"parameters.write\",\"params\":{\"register\":2550,\"word\":" +
                 std::to_string(50 + i) + "}}\n";
    }
    burst += "{\"jsonrpc\":\"2.0\",\"id\":105,\"method\":\"parameters.read\"}";
    sendLine(burst);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(answerTo(100 + i).value("result").toObject().value("outcome").toString(), "confirmed") << i;
    }
    EXPECT_EQ(answerTo(105).value("result").toObject().value("parameters").toArray().size(), 70);
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_EQ(parameterWrites(),
              (std::vector<Write>{{2550, 50}, {2550, 51}, {2550, 52}, {2550, 53}, {2550, 54}}));
    const std::vector<sim::RequestRecord> log = sim_.requests();
    for (std::size_t i = 1; i < log.size(); ++i) {
        if (log[i - 1].repliedMs < 0) continue;  // unanswered: the console's time-out came first
        EXPECT_GE(log[i].receivedMs, log[i - 1].repliedMs) << "request " << i;
    }
}

TEST_F(Serve, RefusedWritesAreErrorsAndPutNothingOnTheLine)
{
    start();
    result("status.read");
    const auto code = [this](const QJsonObject& params) { return errorCode("parameters.write", params); };
    EXPECT_EQ(code({{"register", 2550}, {"value", 1e6}}), kServeOutOfRange);
    EXPECT_EQ(code({{"register", 2550}, {"value", 58.5}}), kServeOutOfRange);
    EXPECT_EQ(code({{"register", 2550}, {"word", 70000}}), kServeOutOfRange);
    EXPECT_EQ(code({{"register", 2662}, {"word", 1}}), kServeNeedsConfirm);
    EXPECT_EQ(code({{"register", 2650}, {"word", 1}}), kServeNeedsConfirm);
    EXPECT_EQ(code({{"register", 2655}, {"word", 1}}), kServeNotParameter);
    EXPECT_EQ(code({{"register", 2748}, {"word", 1}}), kServeNotParameter);
    EXPECT_EQ(code({{"caption", "no such caption"}, {"word", 1}}), kServeNotParameter);
    EXPECT_EQ(code({{"register", 2550}}), rpc::kInvalidParams);
    EXPECT_EQ(code({{"register", 2550}, {"caption", "Over volt"}, {"word", 1}}), rpc::kInvalidParams);
    EXPECT_EQ(errorCode("controller.store", {{"confirm", false}}), kServeNeedsConfirm);
    EXPECT_EQ(errorCode("controller.restoreFactory", {{"timeoutS", 5}}), kServeNeedsConfirm);
    const QJsonObject range = call("parameters.write", {{"register", 2550}, {"value", 1e6}});
    EXPECT_EQ(range.value("error").toObject().value("data").toObject().value("register").toInt(), 2550);
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_TRUE(parameterWrites().empty());
    EXPECT_TRUE(journal().empty());
}

TEST_F(Serve, BadInputIsAnsweredServeGoesOnAndNothingGoesOnTheLine)
{
    start();
    result("status.read");
    sendLine("not json");
    sendLine("[{\"jsonrpc\":\"2.0\",\"id\":90,\"method\":\"console.info\"}]");
    sendLine("{\"jsonrpc\":\"2.0\",\"id\":91}");
    sendLine(
        "{\"jsonrpc\":\"2.0\",\"id\":92,\"method\":\"parameters.write\",\"params\":{\"register\":\"2550\"}}");
    sendLine(std::string(1 << 20, '{'));
    sendLine("\x01\x02\xff");
    const QJsonObject info = call("console.info");
    EXPECT_TRUE(info.contains("result"));
    EXPECT_EQ(answerTo(91).value("error").toObject().value("code").toInt(), rpc::kInvalidRequest);
    EXPECT_EQ(answerTo(92).value("error").toObject().value("code").toInt(), rpc::kInvalidParams);
    std::vector<int> nullIdCodes;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const QJsonObject& o : lines_) {
            if (o.contains("id") && o.value("id").isNull())
                nullIdCodes.push_back(o.value("error").toObject().value("code").toInt());
        }
    }
    EXPECT_EQ(nullIdCodes, (std::vector<int>{rpc::kParseError, rpc::kInvalidRequest, rpc::kInvalidRequest,
                                             rpc::kParseError}));
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_TRUE(parameterWrites().empty());
}

TEST_F(Serve, SetsAreVerifiedAndRestoredWithABackupFirst)
{
    start();
    const QJsonObject set = result("set.dump").value("set").toObject();
    EXPECT_EQ(set.value("registers").toArray().size(), 70);
    EXPECT_EQ(result("set.verify", {{"set", set}}).value("differing").toInt(), 0);
    ASSERT_TRUE(sim_.setRegister(2550, 50));
    const QJsonObject verify = result("set.verify", {{"set", set}});
    EXPECT_EQ(verify.value("differing").toInt(), 1);
    EXPECT_EQ(verify.value("differences").toArray()[0].toObject().value("register").toInt(), 2550);
    const QJsonObject dry = result("set.restore", {{"set", set}, {"dryRun", true}});
    EXPECT_EQ(dry.value("plan").toArray().size(), 1);
    EXPECT_TRUE(parameterWrites().empty());
    const QJsonObject restore = result("set.restore", {{"set", set}});
    ASSERT_EQ(restore.value("rows").toArray().size(), 1);
    EXPECT_EQ(restore.value("rows").toArray()[0].toObject().value("outcome").toString(), "confirmed");
    EXPECT_EQ(restore.value("stillDiffering").toInt(), 0);
    EXPECT_TRUE(QFileInfo::exists(restore.value("backup").toString()));
    // A set that turns the hall-fault mask on is refused unless allowed.
    QJsonObject masked = set;
    QJsonArray registers = masked.value("registers").toArray();
    for (int i = 0; i < registers.size(); ++i) {
        QJsonObject r = registers[i].toObject();
        if (r.value("register").toInt() == 2662) r["word"] = 1;
        registers[i] = r;
    }
    masked["registers"] = registers;
    EXPECT_EQ(errorCode("set.restore", {{"set", masked}}), kServeRefused);
    EXPECT_EQ(finish(), kCommandOk);
    int saved = -1;
    for (const auto& r : set.value("registers").toArray()) {
        if (r.toObject().value("register").toInt() == 2550) saved = r.toObject().value("word").toInt();
    }
    EXPECT_EQ(parameterWrites(), (std::vector<Write>{{2550, saved}}));
    EXPECT_EQ(simWord(2550), saved);
}

TEST_F(Serve, StoreAndStopAreTheirOwnWrites)
{
    start();
    EXPECT_EQ(result("controller.store", {{"confirm", true}}).value("outcome").toString(), "confirmed");
    EXPECT_TRUE(result("test.stop").value("sent").toBool());
    EXPECT_EQ(finish(), kCommandOk);
    EXPECT_EQ(parameterWrites(), (std::vector<Write>{{2655, 1}, {2650, 0}, {2651, 0}}));
}

// The factory restore saves the parameters as they were before its one
// write; a dump to a file verifies against the controller it came from; a
// page is read whole; console.shutdown ends serve before its input does.
TEST_F(Serve, FactoryRestoreSavesABackupFirstAndFilesAndPagesAreRead)
{
    ASSERT_TRUE(sim_.setRegister(2550, 50));
    start();
    const std::string file = dir_.filePath("unit.json").toStdString();
    EXPECT_EQ(result("set.dump", {{"out", QString::fromStdString(file)}}).value("registers").toInt(), 70);
    EXPECT_EQ(result("set.verify", {{"file", QString::fromStdString(file)}}).value("differing").toInt(), 0);
    const QJsonArray page =
        result("parameters.read", {{"pages", QJsonArray{"MOTOR"}}}).value("parameters").toArray();
    ASSERT_FALSE(page.isEmpty());
    for (const auto& v : page) EXPECT_EQ(v.toObject().value("page").toString(), "MOTOR");
    EXPECT_EQ(errorCode("parameters.read", {{"pages", QJsonArray{"no such page"}}}), rpc::kInvalidParams);
    EXPECT_TRUE(parameterWrites().empty());

    const QJsonObject factory = result("controller.restoreFactory", {{"confirm", true}});
    EXPECT_EQ(factory.value("outcome").toString(), "confirmed");
    psets::ParameterSet backup;
    std::string error;
    ASSERT_TRUE(psets::LoadSetFile(factory.value("backup").toString().toStdString(), &backup, &error))
        << error;
    const auto saved = std::find_if(backup.entries.begin(), backup.entries.end(),
                                    [](const psets::Entry& e) { return e.reg == 2550; });
    ASSERT_NE(saved, backup.entries.end());
    EXPECT_EQ(saved->word, 50);
    EXPECT_EQ(parameterWrites(), (std::vector<Write>{{2654, 1}}));

    result("console.shutdown");
    server_.join();  // with its input still open
    EXPECT_EQ(rc_, kCommandOk);
    std::fclose(toServe_);
    std::fclose(input_);
}

TEST_F(Serve, FaultEventsAndStatusRepliesAreNotifiedAndKept)
{
    start();
    result("status.subscribe");
    result("status.read");  // the pages have been read: status replies follow each other
    const std::int64_t t = sim_.timeMs();
    ASSERT_TRUE(sim_.schedule({{t + 1000, 2762, 0x0002}, {t + 3000, 2762, 0}}));
    ASSERT_TRUE(testsupport::WaitFor([&] { return notifications("faults.event").size() >= 2; }, 60s));
    const std::vector<QJsonObject> events = notifications("faults.event");
    EXPECT_EQ(events[0].value("event").toString(), "ON");
    EXPECT_EQ(events[0].value("register").toInt(), 2762);
    EXPECT_EQ(events[0].value("bit").toInt(), 1);
    EXPECT_TRUE(events[0].value("first").toBool());
    EXPECT_EQ(events[0].value("freezeFrame").toArray().size(), 26);
    EXPECT_EQ(events[1].value("event").toString(), "OFF");
    EXPECT_NEAR(events[1].value("durationS").toDouble(), 2.0, 0.7);
    EXPECT_EQ(result("faults.history").value("events").toArray().size(), 2);
    EXPECT_FALSE(notifications("status.update").empty());
    EXPECT_FALSE(notifications("link.changed").empty());
    result("status.unsubscribe");
    const std::size_t updates = notifications("status.update").size();
    result("status.read");
    result("status.read");
    EXPECT_LE(notifications("status.update").size(), updates + 1);
    EXPECT_EQ(finish(), kCommandOk);
}

// A fault still on when serve ends is told as lost before serve returns,
// and faults.csv has its end.
TEST_F(Serve, AFaultStillOnWhenServeEndsIsToldAsLost)
{
    ASSERT_TRUE(sim_.setRegister(2762, 0x0002));
    start();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !notifications("faults.event").empty(); }, 60s));
    EXPECT_EQ(finish(), kCommandOk);
    const std::vector<QJsonObject> events = notifications("faults.event");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].value("event").toString(), "ON");
    EXPECT_EQ(events[1].value("event").toString(), "lost");
    EXPECT_EQ(events[1].value("register").toInt(), 2762);
    EXPECT_EQ(events[1].value("bit").toInt(), 1);
    const auto rows = testsupport::ReadCsv(dir_.filePath("state/drive-console/faults.csv").toStdString());
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const std::vector<std::string>& row) {
        return std::find(row.begin(), row.end(), "lost") != row.end();
    })) << "faults.csv has the end of the fault";
}

// With a capture the file holds the frames of the whole session, the write
// among them byte for byte, and the end of the line when serve ends.
TEST_F(Serve, ACaptureHoldsTheSessionsFramesWithTheWrite)
{
    const std::string path = dir_.filePath("serve.pcapng").toStdString();
    {
        CommandCapture capture(err_.file());
        ASSERT_TRUE(capture.start(path));
        start(10, &capture);
        EXPECT_EQ(result("parameters.write", {{"register", 2550}, {"value", 58}}).value("outcome").toString(),
                  "confirmed");
        EXPECT_EQ(finish(), kCommandOk);
        capture.finish();
        EXPECT_EQ(capture.status(kCommandOk), kCommandOk);
    }
    const testsupport::CaptureItems items = testsupport::ReadCaptureFile(path);
    ASSERT_EQ(items.error, "");
    ASSERT_EQ(items.ends.size(), 1u);
    EXPECT_EQ(items.ends[0].comment, "port closed: the command ended");
    std::vector<std::vector<unsigned char>> sent;
    std::vector<unsigned char> write;
    for (const sim::RequestRecord& r : sim_.requests()) {
        sent.emplace_back(r.raw.begin(), r.raw.end());
        if (r.function == 6 && r.address == 2550) write.assign(r.raw.begin(), r.raw.end());
    }
    std::vector<std::vector<unsigned char>> outbound;
    for (const CapturePacket& p : items.packets) {
        if (p.direction == CaptureDirection::Outbound) outbound.push_back(p.bytes);
    }
    EXPECT_EQ(outbound, sent);
    EXPECT_EQ(std::count(outbound.begin(), outbound.end(), write), 1);
}

TEST_F(Serve, AControllerThatNeverAnsweredEndsWithStatus2AndRequestsFailInTime)
{
    sim::Fault silent;
    silent.silent = true;
    sim_.setFault(sim::kPasswordRegister, silent);
    start(1);
    EXPECT_EQ(errorCode("status.read", {}), kServeNoAnswer);
    EXPECT_EQ(errorCode("parameters.write", {{"register", 2550}, {"value", 58}}), kServeNoAnswer);
    EXPECT_EQ(finish(), kCommandNoAnswer);
    EXPECT_TRUE(parameterWrites().empty());
}

}  // namespace
