#include "sets/set_line.h"

#include <algorithm>

#include "modbus/line_state.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/data_item.h"
#include "model/register_catalogue.h"
#include "platform/os/clock.h"
#include "platform/os/gbk.h"
#include "serial/port_open.h"
#include "serial/rs232.h"

namespace psets {

namespace {

constexpr int kPollMs = 5;
// A page read not answered by then has been given up by the receive step and
// is asked for again.
constexpr int kReaskMs = REPLY_TIMEOUT_MS + 500;

bool cancelled(const std::atomic<bool>* cancel)
{
    return cancel != nullptr && cancel->load();
}

WriteOutcome notWritten(const char* why)
{
    WriteOutcome out;
    out.text = why;
    return out;
}

std::string seconds(int ms)
{
    const int whole = ms / 1000;
    return ms % 1000 == 0 ? std::to_string(whole) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

bool WaitForController(int giveUpMs, std::string* error, const std::atomic<bool>* cancel)
{
    const std::int64_t deadline = ClockMs() + giveUpMs;
    while (!(PortOpen() && Unlocked())) {
        if (cancelled(cancel)) {
            *error = "cancelled";
            return false;
        }
        if (ClockMs() > deadline) {
            *error = PortOpen() ? "the controller did not accept the password within " + seconds(giveUpMs)
                                : "the port is not open";
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

bool ReadPagesFresh(int giveUpMs, std::string* error, const std::atomic<bool>* cancel)
{
    return ReadTablesFresh({0, 1, 2, 3, 4, 5}, giveUpMs, error, cancel);
}

bool ReadTablesFresh(const std::vector<int>& tables, int giveUpMs, std::string* error,
                     const std::atomic<bool>* cancel)
{
    // A table counts as read once a read of it has gone out after this call
    // began and a reply has been stored since: a read already on the line
    // when the call began carries values from before it.
    constexpr int kTables = 6;
    int sentBefore[kTables] = {};
    std::int64_t askedAt[kTables] = {};
    bool done[kTables] = {true, true, true, true, true, true};
    for (int t : tables) {
        if (t >= 0 && t < kTables) done[t] = false;
    }
    const std::int64_t start = ClockMs();
    for (int t = 0; t < kTables; ++t) {
        if (done[t]) continue;
        const ItemTable& table = kPageTables[t];
        sentBefore[t] = table.items[0].read_sent.load();
        for (int i = 0; i < table.count; ++i) table.items[i].refresh_flag.store(1);
        table.items[0].query_flag.store(1);
        askedAt[t] = start;
    }
    std::int64_t lastProgress = start;
    for (;;) {
        int remaining = 0;
        const std::int64_t now = ClockMs();
        for (int t = 0; t < kTables; ++t) {
            if (done[t]) continue;
            DataItem& head = kPageTables[t].items[0];
            const bool sent = head.read_sent.load() != sentBefore[t];
            if (sent && head.read_count.load() != head.count_at_send.load()) {
                done[t] = true;
                lastProgress = now;
                continue;
            }
            ++remaining;
            if (head.query_flag.load() != 0) continue;
            if (!sent) {
                // The reply to a read sent earlier cleared the mark: ask again.
                head.query_flag.store(1);
            } else if (now - askedAt[t] > kReaskMs) {
                head.query_flag.store(1);
                askedAt[t] = now;
            }
        }
        if (remaining == 0) return true;
        if (!PortOpen()) {
            *error = "the port closed while the pages were read";
            return false;
        }
        if (cancelled(cancel)) {
            *error = "cancelled";
            return false;
        }
        if (now - lastProgress > giveUpMs) {
            const int first = std::find(done, done + kTables, false) - done;
            const ItemTable& table = kPageTables[first];
            *error = "no reply to the read of registers " + std::to_string(table.first_register) + ".." +
                     std::to_string(table.first_register + table.count - 1) + " within " + seconds(giveUpMs);
            return false;
        }
        Sleep(kPollMs);
    }
}

WriteOutcome WriteThroughSendFlag(const RegisterInfo& info, int word, int giveUpMs,
                                  const std::atomic<bool>* cancel, const char* panel)
{
    DataItem& item = kPageTables[info.tab].items[info.index];
    ::WriteRequest what;
    what.panel = panel != nullptr ? panel : Utf8ToGbkLenient(Catalogue().panelTitle(RegisterPanel::Set));
    what.page = Utf8ToGbkLenient(info.page);
    what.caption = Utf8ToGbkLenient(info.caption);
    what.unit = Utf8ToGbkLenient(info.unit);
    if (info.scaled()) {
        what.scaleNum = item.scale_num.load();
        what.scaleDen = item.scale_den.load();
    }
    what.typed = what.scaleDen != 0 ? static_cast<double>(word) * what.scaleNum / what.scaleDen : word;
    // With the port closed (or lost part-way through a restore) nothing is
    // marked: the record ends at once as port closed, and is journaled like
    // every other write.
    const std::uint64_t id = SubmitWrite(item, static_cast<double>(word), what, PortOpen());
    const std::int64_t deadline = ClockMs() + giveUpMs;
    ::WriteRecord record;
    while (!WaitForWrite(id, std::chrono::milliseconds(50), &record)) {
        if (cancelled(cancel)) return notWritten("outcome not awaited: cancelled");
        if (ClockMs() > deadline) return notWritten("no outcome: the line stayed busy");
    }
    WriteOutcome out;
    out.outcome = WriteOutcomeName(record.outcome);
    out.detail = record.detail;
    out.readBack = record.readBack;
    out.held = static_cast<std::int16_t>(record.heldWord);
    out.sent = record.outcome != ::WriteOutcome::PortClosed && record.outcome != ::WriteOutcome::Superseded &&
               record.outcome != ::WriteOutcome::Replay;
    out.confirmed = record.outcome == ::WriteOutcome::Confirmed;
    if (record.outcome == ::WriteOutcome::PortClosed) {
        out.text = "not written: port closed";
        return out;
    }
    out.text = out.outcome;
    if (record.outcome == ::WriteOutcome::Replay) return out;
    if (record.outcome == ::WriteOutcome::Rejected)
        out.text += " (exception " + std::to_string(record.exceptionCode) + ")";
    if (record.outcome == ::WriteOutcome::Unknown) out.text += " (sent; port closed before the echo)";
    return out;
}

std::vector<Entry> RegistersToWrite(const ParameterSet& set, const std::map<int, int>& controller,
                                    const std::vector<int>& only)
{
    std::vector<Entry> out;
    for (const Comparison& c : Compare(set, controller)) {
        if (c.info == nullptr || c.info->action() || !c.differs) continue;
        if (!only.empty() && std::find(only.begin(), only.end(), c.info->reg) == only.end()) continue;
        out.push_back(Entry{c.info->reg, c.fileWord});
    }
    return out;
}

std::vector<RestoreRow> Restore(const std::vector<Entry>& entries, const std::map<int, int>& before,
                                int giveUpMs, std::atomic<int>* progress, const std::atomic<bool>* cancel,
                                const char* panel)
{
    std::vector<RestoreRow> rows;
    bool anySent = false;
    for (const Entry& e : entries) {
        RestoreRow row;
        row.entry = e;
        auto it = before.find(e.reg);
        row.before = it == before.end() ? 0 : it->second;
        const RegisterInfo* info = FindRegister(e.reg);
        if (info == nullptr || info->action()) {
            row.write = notWritten("not written: not a settable register");
        } else if (cancelled(cancel)) {
            row.write = notWritten("not written: cancelled");
        } else {
            row.write = WriteThroughSendFlag(*info, e.word, giveUpMs, cancel, panel);
        }
        anySent = anySent || row.write.sent;
        rows.push_back(row);
        if (progress != nullptr) progress->fetch_add(1);
    }
    std::string error;
    const bool readBack = anySent && ReadPagesFresh(giveUpMs, &error, cancel);
    const std::map<int, int> after = readBack ? TableWords() : std::map<int, int>{};
    for (RestoreRow& row : rows) {
        row.readBack = readBack;
        if (readBack && row.write.sent) row.after = after.at(row.entry.reg);
        if (!row.write.sent || !row.write.confirmed) {
            row.outcome = row.write.text;
            continue;
        }
        if (!readBack) {
            row.outcome = "written, not read back: " + error;
            continue;
        }
        row.after = after.at(row.entry.reg);
        row.confirmed = row.after == row.entry.word;
        row.outcome = row.confirmed ? "confirmed" : "differs after write";
    }
    return rows;
}

}  // namespace psets
