// Parameter sets on the line: reading the pages fresh, and restoring registers
// with a read-back, through the data-item tables and their flags only.
//
// Nothing here touches the port: reads are asked for with the tables'
// query_flag, writes with their send_flag, exactly as the pages' "__OK"
// buttons do, so the communication thread keeps its discipline (one request
// at a time, pending writes first). The calls block their caller until the
// line has answered or a give-up time has passed; run them on any thread but
// the UI thread.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "sets/parameter_set.h"

struct DataItem;

namespace psets {

constexpr int kDefaultGiveUpMs = 10000;

// Waits until the port is open and the controller has accepted the password.
// False after `giveUpMs` (or when `cancel` is set), with the reason.
bool WaitForController(int giveUpMs, std::string* error, const std::atomic<bool>* cancel = nullptr);

// Reads the six page tables again and waits for every reply. False, with the
// reason, when the port closes or `giveUpMs` pass without a reply.
bool ReadPagesFresh(int giveUpMs, std::string* error, const std::atomic<bool>* cancel = nullptr);

// What became of one write.
struct WriteOutcome {
    bool sent = false;  // the request went out (its reply, if any, has arrived)
    std::string text;   // "written", or why it was not
};

// Writes `word` to `item` the way an "__OK" press does (value first, then the
// send flag) and waits until that request's exchange on the line is over.
//
// This is the one place where parameter sets learn the fate of a write. Here
// it knows only whether the request went out; the value is judged by the
// read-back after all writes. Where the line reports a per-write outcome
// (confirmed, no reply, rejected, echo differs, ...), this function returns it.
WriteOutcome WriteThroughSendFlag(DataItem& item, int word, int giveUpMs,
                                  const std::atomic<bool>* cancel = nullptr);

// The registers of `set` to write: those whose word differs from
// `controller`, narrowed to `only` when it is not empty. Action registers are
// never among them. Registers of `only` must be in the set (the caller
// checks).
std::vector<Entry> RegistersToWrite(const ParameterSet& set, const std::map<int, int>& controller,
                                    const std::vector<int>& only);

// The result of one register of a restore.
struct RestoreRow {
    Entry entry;             // register and the word written
    int before = 0;          // controller word before the write
    int after = 0;           // controller word read back (valid when readBack)
    bool readBack = false;   // the pages were read back after the writes
    WriteOutcome write;      // what the line did with the write
    bool confirmed = false;  // read back equal to the word written
    std::string outcome;     // "confirmed", "differs after write", or the write's fate
};

// Writes `entries` one after another, then reads the pages back. `progress`
// (may be null) counts the writes done, for a window to show.
std::vector<RestoreRow> Restore(const std::vector<Entry>& entries, const std::map<int, int>& before,
                                int giveUpMs, std::atomic<int>* progress = nullptr,
                                const std::atomic<bool>* cancel = nullptr);

}  // namespace psets
