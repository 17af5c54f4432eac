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
    bool sent = false;       // the request went out (its reply, if any, has arrived)
    bool confirmed = false;  // the exact echo came back
    std::string text;        // the write's outcome ("confirmed", "no reply", ...), or why it was not sent
};

// Writes `word` to the register of `info` the way an "__OK" press does: a
// write record with `panel` (nullptr: the parameter panel, by its title), the
// set's page and caption, the value and its
// send flag (so the journal and the status line see it), then waits until the
// record has its outcome. Gives up waiting after `giveUpMs` or on `cancel`; a
// write already marked then still goes out, and its outcome reaches the
// journal. With the port closed nothing goes out, and the record ends at once
// as port closed: that too reaches the journal.
WriteOutcome WriteThroughSendFlag(const RegisterInfo& info, int word, int giveUpMs,
                                  const std::atomic<bool>* cancel = nullptr, const char* panel = nullptr);

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
// (may be null) counts the writes done, for a window to show. `panel` names
// who wrote in the write records (nullptr: the parameter panel).
std::vector<RestoreRow> Restore(const std::vector<Entry>& entries, const std::map<int, int>& before,
                                int giveUpMs, std::atomic<int>* progress = nullptr,
                                const std::atomic<bool>* cancel = nullptr, const char* panel = nullptr);

}  // namespace psets
