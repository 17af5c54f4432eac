#include "app/serve_command.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/command_capture.h"
#include "app/command_status.h"
#include "app/serve_json.h"
#include "app/version.h"
#include "engine/fault_feed.h"
#include "engine/fault_journal.h"
#include "engine/traffic_decode.h"
#include "engine/write_journal.h"
#include "modbus/line_state.h"
#include "modbus/write_outcome.h"
#include "model/line_flags.h"
#include "model/link_health.h"
#include "pages/write_guard.h"
#include "platform/os/app_dirs.h"
#include "platform/os/clock.h"
#include "rpc/json_rpc.h"
#include "serial/line_machine.h"
#include "serial/rs232.h"
#include "sets/parameter_set.h"
#include "sets/set_line.h"

namespace {

// Serve's words for the person on standard error (app/command_language.h).
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};

using rpc::Answer;
using rpc::Param;
using rpc::Type;

// The panel column of the journal lines of serve's writes.
constexpr const char* kPanel = "api";
constexpr int kLookMs = 50;              // how often the notifications are looked for
constexpr std::size_t kTapQueue = 1024;  // status replies kept between two looks
constexpr int kWaitStepMs = 5;

QString q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

Answer failure(int code, const std::string& message, int reg = 0)
{
    QJsonObject data;
    if (reg != 0) data["register"] = reg;
    return Answer::Error(code, q(message), data.isEmpty() ? QJsonValue() : QJsonValue(data));
}

// The failure of a wait on the line: the port closed, or no answer in time.
Answer lineFailure(const std::string& error)
{
    return failure(PortOpen() ? kServeNoAnswer : kServePortClosed, error);
}

// Every accepted status reply, as the line reports it: the latest for
// status.read, and a queue of them for status.update.
class StatusTap {
public:
    explicit StatusTap(LineObservers& line) : line_(line)
    {
        token_ = line_.add([this](const LineReport& r) { take(r); });
    }
    ~StatusTap() { line_.remove(token_); }
    StatusTap(const StatusTap&) = delete;
    StatusTap& operator=(const StatusTap&) = delete;

    std::uint64_t count()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }
    // The first reply after the `seen`-th, waiting up to `timeoutMs`.
    bool waitAfter(std::uint64_t seen, int timeoutMs, StatusReply* reply)
    {
        const std::int64_t deadline = ClockMs() + timeoutMs;
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (count_ > seen) {
                    *reply = latest_;
                    return true;
                }
            }
            if (ClockMs() > deadline) return false;
            Sleep(kWaitStepMs);
        }
    }
    std::deque<StatusReply> takeQueued()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::deque<StatusReply> out;
        out.swap(queue_);
        return out;
    }

private:
    void take(const LineReport& r)  // on the line's thread
    {
        if (r.kind != LineReportKind::ReplyAccepted) return;
        StatusReply reply;
        if (!StatusReplyWords(r.request, 8, r.bytes, r.length, reply.words.data())) return;
        reply.clockUs = ClockUs();
        reply.wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = reply;
        ++count_;
        if (queue_.size() < kTapQueue) queue_.push_back(reply);
    }

    LineObservers& line_;
    int token_ = 0;
    std::mutex mutex_;
    StatusReply latest_;
    std::uint64_t count_ = 0;
    std::deque<StatusReply> queue_;
};

class Session : public FaultObserver {
public:
    Session(const ServeOptions& o, const ServeOutput& out, std::FILE* err)
        : options_(o), out_(out), err_(err), dispatcher_(methods())
    {
    }

    int run(const ServeInput& in);

    void faultEvent(const FaultEvent& e) override  // on the notifier's thread
    {
        const QJsonObject json = FaultEventJson(e);
        {
            std::lock_guard<std::mutex> lock(historyMutex_);
            history_.append(json);
        }
        send(rpc::Notification("faults.event", json));
    }

private:
    std::vector<rpc::Method> methods();
    void send(const QByteArray& json)
    {
        std::lock_guard<std::mutex> lock(outMutex_);
        out_(json);
    }
    void report(const std::string& message) { std::fprintf(err_, "drive-console: %s\n", message.c_str()); }
    // A message for the person on standard error; the answers stay English.
    void say(const QString& message) { report(message.toStdString()); }
    void look(FaultFeed& feed, StatusTap& tap);
    int timeoutMs(const QJsonObject& p, Answer* bad) const;
    const psets::RegisterInfo* target(const QJsonObject& p, Answer* bad) const;
    // Waits for the unlocked controller; false with the answer to give.
    bool ready(int ms, Answer* bad) const;
    bool loadSet(const QJsonObject& p, psets::ParameterSet* set, Answer* bad) const;
    Answer write(const psets::RegisterInfo& info, int word, int ms) const;

    Answer info(const QJsonObject&);
    Answer statusRead(const QJsonObject&);
    Answer parametersRead(const QJsonObject&);
    Answer parametersWrite(const QJsonObject&);
    Answer command(const QJsonObject&, int reg);
    Answer testStop(const QJsonObject&);
    Answer setDump(const QJsonObject&);
    Answer setVerify(const QJsonObject&);
    Answer setRestore(const QJsonObject&);

    ServeOptions options_;
    ServeOutput out_;
    std::FILE* err_;
    rpc::Dispatcher dispatcher_;
    std::mutex outMutex_;
    std::mutex historyMutex_;
    QJsonArray history_;
    StatusTap* tap_ = nullptr;
    std::atomic<bool> subscribed_{false};
    std::atomic<bool> shutdown_{false};
    std::atomic<bool> answered_{false};
    int linkState_ = -1;  // the notifier's: replying + 2 x unlocked as last told
};

std::vector<rpc::Method> Session::methods()
{
    using M = std::function<Answer(Session*, const QJsonObject&)>;
    struct Row {
        const char* name;
        std::vector<Param> params;
        M handler;
    };
    const Param timeout{"timeoutS", Type::Number};
    const std::vector<Row> rows = {
        {"console.info", {}, &Session::info},
        {"status.read", {timeout}, &Session::statusRead},
        {"parameters.read",
         {{"registers", Type::Array}, {"pages", Type::Array}, timeout},
         &Session::parametersRead},
        {"parameters.write",
         {{"register", Type::Integer},
          {"caption", Type::String},
          {"value", Type::Number},
          {"word", Type::Number},
          {"confirm", Type::Boolean},
          timeout},
         &Session::parametersWrite},
        {"controller.store",
         {{"confirm", Type::Boolean}, timeout},
         [](Session* s, const QJsonObject& p) { return s->command(p, REG_PARAMETER_STORE); }},
        {"controller.restoreFactory",
         {{"confirm", Type::Boolean}, timeout},
         [](Session* s, const QJsonObject& p) { return s->command(p, REG_RESTORE_FACTORY); }},
        {"test.stop", {timeout}, &Session::testStop},
        {"set.dump", {{"out", Type::String}, {"note", Type::String}, timeout}, &Session::setDump},
        {"set.verify", {{"file", Type::String}, {"set", Type::Object}, timeout}, &Session::setVerify},
        {"set.restore",
         {{"file", Type::String},
          {"set", Type::Object},
          {"only", Type::Array},
          {"dryRun", Type::Boolean},
          {"allowHallFaultMask", Type::Boolean},
          timeout},
         &Session::setRestore},
        {"faults.history",
         {},
         [](Session* s, const QJsonObject&) {
             std::lock_guard<std::mutex> lock(s->historyMutex_);
             return Answer::Result(QJsonObject{{"events", s->history_}});
         }},
        {"status.subscribe",
         {},
         [](Session* s, const QJsonObject&) {
             s->subscribed_ = true;
             return Answer::Result(QJsonObject{});
         }},
        {"status.unsubscribe",
         {},
         [](Session* s, const QJsonObject&) {
             s->subscribed_ = false;
             return Answer::Result(QJsonObject{});
         }},
        {"console.shutdown",
         {},
         [](Session* s, const QJsonObject&) {
             s->shutdown_ = true;
             return Answer::Result(QJsonObject{});
         }},
    };
    std::vector<rpc::Method> out;
    for (const Row& r : rows) {
        const M handler = r.handler;
        out.push_back({r.name, r.params, [this, handler](const QJsonObject& p) { return handler(this, p); }});
    }
    return out;
}

int Session::timeoutMs(const QJsonObject& p, Answer* bad) const
{
    if (!p.contains("timeoutS")) return options_.giveUpMs;
    const double s = p.value("timeoutS").toDouble();
    if (!(s > 0 && s <= 600)) {
        *bad = Answer::Error(rpc::kInvalidParams, "'timeoutS' must be above 0 and at most 600 seconds",
                             QJsonObject{{"param", "timeoutS"}});
        return -1;
    }
    return std::max(1, static_cast<int>(s * 1000));
}

bool Session::ready(int ms, Answer* bad) const
{
    std::string error;
    if (psets::WaitForController(ms, &error)) return true;
    *bad = lineFailure(error);
    return false;
}

Answer Session::info(const QJsonObject&)
{
    const CommandPortOptions& o = options_.port;
    static const char kParity[] = {'N', 'O', 'E'};
    const std::string framing =
        std::to_string(o.dataBits) + kParity[std::clamp(o.parity, 0, 2)] + std::to_string(o.stopBits);
    const std::int64_t since = MsSinceAcceptedReply();
    QJsonObject link{{"replying", since >= 0 && since <= kReplyingMs},
                     {"unlocked", PortUnlocked()},
                     {"open", PortOpen()},
                     {"sinceReplyS", since < 0 ? QJsonValue() : QJsonValue(since / 1000.0)}};
    QJsonObject settings{{"baud", static_cast<double>(o.baud)},
                         {"parity", o.parity == 0   ? "none"
                                    : o.parity == 1 ? "odd"
                                                    : "even"},
                         {"dataBits", o.dataBits},
                         {"stopBits", o.stopBits},
                         {"fastLine", o.fastLine},
                         {"timeoutS", options_.giveUpMs / 1000.0}};
    return Answer::Result(QJsonObject{{"version", ConsoleVersion()},
                                      {"device", q(o.device)},
                                      {"settings", settings},
                                      {"framing", q(framing)},
                                      {"link", link}});
}

Answer Session::statusRead(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    StatusReply reply;
    if (!tap_->waitAfter(tap_->count(), ms, &reply)) {
        return lineFailure("no status reply within " + std::to_string(ms / 1000.0).substr(0, 5) + " s");
    }
    return Answer::Result(StatusJson(reply));
}

Answer Session::parametersRead(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    std::vector<const psets::RegisterInfo*> chosen;
    for (const auto& v : p.value("registers").toArray()) {
        const psets::RegisterInfo* info = psets::FindRegister(v.toInt(-1));
        if (!v.isDouble() || info == nullptr) {
            return failure(kServeNotParameter,
                           "not a parameter register: " +
                               QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).toStdString(),
                           v.toInt());
        }
        chosen.push_back(info);
    }
    for (const auto& v : p.value("pages").toArray()) {
        bool found = false;
        for (const psets::RegisterInfo& info : psets::Registers()) {
            if (!v.isString() || q(info.page) != v.toString()) continue;
            chosen.push_back(&info);
            found = true;
        }
        if (!found) {
            QJsonArray pages;
            for (const psets::RegisterInfo& info : psets::Registers()) {
                if (!pages.contains(q(info.page))) pages.append(q(info.page));
            }
            return Answer::Error(rpc::kInvalidParams, "no page " + v.toVariant().toString(),
                                 QJsonObject{{"param", "pages"}, {"pages", pages}});
        }
    }
    if (!p.contains("registers") && !p.contains("pages")) {
        for (const psets::RegisterInfo& info : psets::Registers()) chosen.push_back(&info);
    }
    std::vector<int> tables;
    for (const psets::RegisterInfo* info : chosen) {
        if (std::find(tables.begin(), tables.end(), info->tab) == tables.end()) tables.push_back(info->tab);
    }
    std::string error;
    if (!ready(ms, &bad)) return bad;
    if (!psets::ReadTablesFresh(tables, ms, &error)) return lineFailure(error);
    const std::map<int, int> words = psets::TableWords();
    QJsonArray out;
    std::vector<int> done;
    for (const psets::RegisterInfo& info : psets::Registers()) {
        const bool wanted = std::any_of(chosen.begin(), chosen.end(),
                                        [&info](const psets::RegisterInfo* c) { return c == &info; });
        if (wanted) out.append(ParameterJson(info, words.at(info.reg)));
    }
    return Answer::Result(QJsonObject{{"parameters", out}});
}

const psets::RegisterInfo* Session::target(const QJsonObject& p, Answer* bad) const
{
    if (p.contains("register") == p.contains("caption")) {
        *bad = Answer::Error(rpc::kInvalidParams, "give either 'register' or 'caption'",
                             QJsonObject{{"param", "register"}});
        return nullptr;
    }
    if (p.contains("register")) {
        const int reg = p.value("register").toInt();
        const psets::RegisterInfo* info = psets::FindRegister(reg);
        if (info == nullptr) {
            *bad = failure(kServeNotParameter,
                           "register " + std::to_string(reg) + " is not a parameter register", reg);
        }
        return info;
    }
    const QString caption = p.value("caption").toString();
    std::vector<const psets::RegisterInfo*> found;
    for (const psets::RegisterInfo& info : psets::Registers()) {
        if (q(info.caption) == caption) found.push_back(&info);
    }
    if (found.size() == 1) return found.front();
    if (found.empty()) {
        *bad = failure(kServeNotParameter, "no parameter has the caption '" + caption.toStdString() + "'");
    } else {
        QJsonArray regs;
        for (const psets::RegisterInfo* info : found) regs.append(info->reg);
        *bad =
            Answer::Error(rpc::kInvalidParams,
                          QString("several parameters have the caption '%1': give 'register'").arg(caption),
                          QJsonObject{{"param", "caption"}, {"registers", regs}});
    }
    return nullptr;
}

Answer Session::write(const psets::RegisterInfo& info, int word, int ms) const
{
    Answer bad;
    // With the port closed the write still goes through the write path: it
    // ends at once as port closed, and the journal has it.
    if (PortOpen() && !ready(ms, &bad)) return bad;
    const psets::WriteOutcome w = psets::WriteThroughSendFlag(info, word, ms, nullptr, kPanel);
    if (w.outcome.empty()) return failure(kServeNoAnswer, w.text, info.reg);
    QJsonObject result{{"register", info.reg},
                       {"caption", q(info.caption)},
                       {"outcome", q(w.outcome)},
                       {"detail", q(w.detail)},
                       {"word", word},
                       {"value", psets::DisplayValue(info, word)},
                       {"unit", q(info.unit)},
                       {"holds", w.readBack ? QJsonValue(w.held) : QJsonValue()}};
    return Answer::Result(result);
}

Answer Session::parametersWrite(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    const psets::RegisterInfo* info = target(p, &bad);
    if (info == nullptr) return bad;
    if (info->kind == RegisterKind::Command) {
        return failure(kServeNotParameter,
                       "register " + std::to_string(info->reg) +
                           " is a command register: use controller.store or controller.restoreFactory",
                       info->reg);
    }
    if (p.contains("value") == p.contains("word")) {
        return Answer::Error(rpc::kInvalidParams, "give either 'value' or 'word'",
                             QJsonObject{{"param", "value"}});
    }
    const WriteCheck check = p.contains("word") ? CheckWord(*info, p.value("word").toDouble())
                                                : CheckValue(*info, p.value("value").toDouble());
    if (!check.ok) return Answer::Error(kServeOutOfRange, check.why, check.data);
    if (info->guardedOn && check.word != 0) {
        if (!p.value("confirm").toBool()) {
            const std::string what = info->reg == REG_TEST_ENABLE
                                         ? "arms the motor test"
                                         : "turns the hall-fault mask on: the controller "
                                           "would no longer report hall sensor faults";
            return failure(kServeNeedsConfirm,
                           "writing " + psets::Describe(*info) + " " + what +
                               "; nothing was written: give confirm: true",
                           info->reg);
        }
        if (info->reg == REG_TEST_ENABLE) {
            const std::string refusal = MotorTestRefusal();
            if (!refusal.empty()) {
                return failure(kServeRefused, "the motor test was not started, nothing was sent: " + refusal,
                               info->reg);
            }
        }
    }
    return write(*info, check.word, ms);
}

Answer Session::command(const QJsonObject& p, int reg)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    const psets::RegisterInfo* info = psets::FindRegister(reg);
    if (info == nullptr) return failure(kServeNotParameter, "no register " + std::to_string(reg), reg);
    const bool factory = reg == REG_RESTORE_FACTORY;
    if (!p.value("confirm").toBool()) {
        return failure(
            kServeNeedsConfirm,
            std::string(factory ? "restoring the factory settings replaces every parameter"
                                : "storing makes the parameters the controller's own at power-up") +
                "; nothing was written: give confirm: true",
            reg);
    }
    if (!factory) return write(*info, 1, ms);
    // The parameters as they were, saved first, as the window offers.
    if (!ready(ms, &bad)) return bad;
    std::string error;
    if (!psets::ReadPagesFresh(ms, &error)) return lineFailure(error);
    std::string backup;
    if (!psets::SaveBackup(psets::TableWords(), "backup before restoring the factory settings", &backup,
                           &error)) {
        return failure(kServeFile, "nothing written, the backup could not be saved: " + error, reg);
    }
    say(Tr::tr("the controller's parameters before the factory restore: %1")
            .arg(QString::fromStdString(backup)));
    Answer a = write(*info, 1, ms);
    if (a.ok) {
        QJsonObject result = a.result.toObject();
        result["backup"] = q(backup);
        a.result = result;
    }
    return a;
}

Answer Session::testStop(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    SendTestStop(kPanel);
    if (!WaitTestStopSent(ms)) {
        return lineFailure(PortOpen() ? "STOP did not go out within the time-out"
                                      : "STOP was not sent: the port is closed");
    }
    return Answer::Result(QJsonObject{{"sent", true}});
}

bool Session::loadSet(const QJsonObject& p, psets::ParameterSet* set, Answer* bad) const
{
    if (p.contains("file") == p.contains("set")) {
        *bad =
            Answer::Error(rpc::kInvalidParams, "give either 'file' or 'set'", QJsonObject{{"param", "file"}});
        return false;
    }
    std::string error;
    const bool ok = p.contains("file")
                        ? psets::LoadSetFile(p.value("file").toString().toStdString(), set, &error)
                        : psets::FromJson(QJsonDocument(p.value("set").toObject()).toJson(), set, &error);
    if (!ok) *bad = failure(kServeFile, error);
    return ok;
}

Answer Session::setDump(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    std::string error;
    if (!ready(ms, &bad)) return bad;
    if (!psets::ReadPagesFresh(ms, &error)) return lineFailure(error);
    const psets::ParameterSet set =
        psets::SetFromWords(psets::TableWords(), p.value("note").toString().toStdString());
    if (!p.contains("out")) {
        return Answer::Result(QJsonObject{{"set", QJsonDocument::fromJson(psets::ToJson(set)).object()}});
    }
    const std::string out = p.value("out").toString().toStdString();
    if (!psets::SaveSetFile(out, set, &error)) return failure(kServeFile, error);
    return Answer::Result(QJsonObject{{"file", q(out)}, {"registers", static_cast<int>(set.entries.size())}});
}

Answer Session::setVerify(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    psets::ParameterSet set;
    if (!loadSet(p, &set, &bad)) return bad;
    std::string error;
    if (!ready(ms, &bad)) return bad;
    if (!psets::ReadPagesFresh(ms, &error)) return lineFailure(error);
    QJsonArray rows;
    int differing = 0;
    for (const psets::Comparison& c : psets::Compare(set, psets::TableWords())) {
        if (c.info == nullptr || !c.differs) continue;
        if (c.compared()) ++differing;
        rows.append(ComparisonJson(c));
    }
    return Answer::Result(QJsonObject{{"differing", differing}, {"differences", rows}});
}

Answer Session::setRestore(const QJsonObject& p)
{
    Answer bad;
    const int ms = timeoutMs(p, &bad);
    if (ms < 0) return bad;
    psets::ParameterSet set;
    if (!loadSet(p, &set, &bad)) return bad;
    std::vector<int> only;
    for (const auto& v : p.value("only").toArray()) {
        const int reg = v.toInt(-1);
        const bool inSet = std::any_of(set.entries.begin(), set.entries.end(),
                                       [reg](const psets::Entry& e) { return e.reg == reg; });
        if (!v.isDouble() || psets::FindRegister(reg) == nullptr || !inSet) {
            return failure(kServeNotParameter,
                           "'only' names " + std::to_string(reg) + ", not a parameter of the set", reg);
        }
        only.push_back(reg);
    }
    std::string error;
    if (!ready(ms, &bad)) return bad;
    if (!psets::ReadPagesFresh(ms, &error)) return lineFailure(error);
    const std::map<int, int> before = psets::TableWords();
    const std::vector<psets::Entry> plan = psets::RegistersToWrite(set, before, only);
    const std::string refusal =
        p.value("allowHallFaultMask").toBool()
            ? std::string()
            : psets::HallMaskRefusal(plan, before, "give allowHallFaultMask: true to write it");
    QJsonArray planned;
    for (const psets::Entry& e : plan) {
        const psets::RegisterInfo& info = *psets::FindRegister(e.reg);
        QJsonObject row = ParameterJson(info, e.word);
        row["before"] = before.at(e.reg);
        planned.append(row);
    }
    if (!refusal.empty()) return failure(kServeRefused, refusal, REG_HALL_FAULT_MASK);
    if (p.value("dryRun").toBool() || plan.empty()) {
        return Answer::Result(QJsonObject{{"dryRun", p.value("dryRun").toBool()},
                                          {"plan", planned},
                                          {"rows", QJsonArray()},
                                          {"written", 0},
                                          {"stillDiffering", 0},
                                          {"backup", QJsonValue()}});
    }
    std::string backup;
    if (!psets::SaveBackup(before, "backup before restoring a set over the scripting interface", &backup,
                           &error)) {
        return failure(kServeFile, "nothing written, the backup could not be saved: " + error);
    }
    say(Tr::tr("the controller's parameters before the restore: %1").arg(QString::fromStdString(backup)));
    QJsonArray rows;
    bool readBack = true;
    for (const psets::RestoreRow& r : psets::Restore(plan, before, ms, nullptr, nullptr, kPanel)) {
        const psets::RegisterInfo& info = *psets::FindRegister(r.entry.reg);
        QJsonObject row = ParameterJson(info, r.entry.word);
        row["before"] = r.before;
        row["after"] = r.readBack && r.write.sent ? QJsonValue(r.after) : QJsonValue();
        row["outcome"] = q(r.outcome);
        row["confirmed"] = r.confirmed;
        readBack = readBack && r.readBack;
        rows.append(row);
    }
    int stillDiffering = 0;
    if (readBack) {
        for (const psets::Comparison& c : psets::Compare(set, psets::TableWords())) {
            const bool considered =
                only.empty() || std::find(only.begin(), only.end(), c.info->reg) != only.end();
            if (c.differs && c.compared() && considered) ++stillDiffering;
        }
    }
    return Answer::Result(
        QJsonObject{{"dryRun", false},
                    {"plan", planned},
                    {"rows", rows},
                    {"written", rows.size()},
                    {"stillDiffering", readBack ? QJsonValue(stillDiffering) : QJsonValue()},
                    {"backup", q(backup)}});
}

void Session::look(FaultFeed& feed, StatusTap& tap)
{
    feed.pump();
    if (options_.capture != nullptr) options_.capture->look();
    const std::int64_t since = MsSinceAcceptedReply();
    if (since >= 0) answered_ = true;
    const bool replying = since >= 0 && since <= kReplyingMs;
    const bool unlocked = PortUnlocked();
    const int state = (replying ? 1 : 0) + (unlocked ? 2 : 0);
    if (state != linkState_) {
        if (linkState_ >= 0 || state != 0) {
            send(rpc::Notification(
                "link.changed",
                QJsonObject{{"replying", replying}, {"unlocked", unlocked}, {"open", PortOpen()}}));
        }
        linkState_ = state;
    }
    for (const StatusReply& r : tap.takeQueued()) {
        if (subscribed_.load()) send(rpc::Notification("status.update", StatusJson(r)));
    }
}

int Session::run(const ServeInput& in)
{
    // Made before the line and so ended after it: every write that ends, even
    // as the line closes, is in writes.csv before serve returns.
    WriteJournal journal(ConsoleStateDir(), [this](const std::string& problem) {
        if (!problem.empty()) report(problem);
    });
    const std::string faultsPath = ConsoleStateDir() + "/" + kFaultJournalName;
    FaultJournal faults(faultsPath, [this, faultsPath](const std::string& problem) {
        say(problem.empty() ? Tr::tr("%1 is written again").arg(QString::fromStdString(faultsPath))
                            : Tr::tr("%1 (serve goes on)").arg(QString::fromStdString(problem)));
    });
    FaultTracker tracker;
    tracker.addObserver(this);
    tracker.addObserver(&faults);
    FaultFeed feed(tracker, TheLine().observers());
    StatusTap tap(TheLine().observers());
    tap_ = &tap;
    // A fatal port error ends the process at once: what is pending is written first.
    const FatalErrorHook fatalError([&] {
        AbandonWrites(kCommandEnded);
        journal.drain();
        faults.drain();
    });
    {
        const CommandPort port(options_.port, CommandReads::Both);
        if (!port.open()) {
            say(Tr::tr("cannot open %1").arg(QString::fromStdString(options_.port.device)));
            tap_ = nullptr;
            return kCommandNoAnswer;
        }
        say(Tr::tr("serving %1: JSON-RPC 2.0 requests on standard input, one per line")
                .arg(QString::fromStdString(options_.port.device)));
        std::atomic<bool> stop{false};
        std::thread notifier([&] {
            while (!stop.load()) {
                look(feed, tap);
                Sleep(kLookMs);
            }
        });
        QByteArray line;
        bool tooLong = false;
        while (!shutdown_.load() && in(&line, &tooLong)) {
            if (!tooLong && line.trimmed().isEmpty()) continue;
            const QByteArray answer = tooLong ? rpc::Dispatcher::tooLong() : dispatcher_.handle(line);
            if (!answer.isEmpty()) send(answer);
        }
        stop = true;
        notifier.join();
        look(feed, tap);
    }
    // The port is closed: the events it ended are told too. Closing it here
    // tells the line nothing, so the faults still on end as lost at the last
    // status reply, as when a command gives up, and faults.csv has their end.
    feed.pump();
    if (tracker.tracking()) tracker.linkLost(tracker.lastReply().wallMs, tracker.lastReply().clockUs);
    tracker.removeObserver(this);
    journal.drain();
    faults.drain();
    tap_ = nullptr;
    if (!answered_.load()) {
        say(Tr::tr("%1: the controller never answered").arg(QString::fromStdString(options_.port.device)));
        return kCommandNoAnswer;
    }
    return kCommandOk;
}

}  // namespace

int RunServe(const ServeOptions& options, const ServeInput& in, const ServeOutput& out, std::FILE* err)
{
    Session session(options, out, err);
    return session.run(in);
}
