// Writes the operator asked for, and what became of each.
//
// A send button (or anything else that writes a parameter) submits a write:
// the register value goes into its data item, the item is marked for sending
// and a write record is opened. The communication thread takes the item when
// it builds the request, and the line reports the reply, the time-out or the
// loss of the port. Each record ends exactly once, with one of seven outcomes.
// A confirmed write is then read back: the page holding the register is read
// again, and the record ends once that read tells what the controller holds.
// So does a write whose echo was lost with the port while the console waits
// to reconnect: it ends as unknown once the device is back and its page read.
//
// The same module keeps read replies off items that wait to be sent, so that
// an operator's entry is never replaced by the value it is about to overwrite.
//
// All functions are thread-safe; one small lock guards the records and the
// value/send-flag pair of every page item. Observers are called outside that
// lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "modbus/line_observer.h"

struct DataItem;

enum class WriteOutcome {
    Confirmed,    // the exact echo of the request arrived
    NoReply,      // the reply time-out passed
    Rejected,     // the controller answered with an exception
    EchoDiffers,  // a reply came, but not the exact echo of the request
    PortClosed,   // the port was closed or failed before the write went out
    Superseded,   // the same item was submitted again before this write went out
    Unknown,      // the request went out, but the port closed or failed before its echo came
    Replay,       // a recorded session is being played back: nothing goes to any device
};

// "confirmed", "no reply", "rejected", "echo differs", "port closed", "superseded", "unknown",
// "not written: replay".
const char* WriteOutcomeName(WriteOutcome outcome);

// What is being written, as the operator sees it. Texts are in the console's
// code page (GBK), like every text handed to the panels.
struct WriteRequest {
    std::string panel;    // the title of the panel written from, or the caller's name
    std::string page;     // the tab page, e.g. "BASIC"
    std::string caption;  // the row's caption, from the register catalogue
    std::string unit;     // the entry's unit, "" when none
    double typed = 0.0;   // the entry as typed, in that unit
    // How a register word reads in that unit: word * scaleNum / scaleDen.
    int scaleNum = 1;
    int scaleDen = 1;
};

struct WriteRecord {
    std::uint64_t id = 0;  // 1, 2, ... in order of submission
    WriteRequest what;
    int address = 0;               // holding register
    std::uint16_t word = 0;        // the register word that goes out
    std::int64_t submittedMs = 0;  // wall clock, ms since the Unix epoch
    std::int64_t endedMs = 0;      // wall clock when the outcome was decided
    bool requestSent = false;      // the request was written to the line
    WriteOutcome outcome = WriteOutcome::NoReply;
    int exceptionCode = 0;  // Rejected: the exception code
    // Confirmed, Unknown: the register as read back, when the read-back succeeded.
    bool readBack = false;
    std::uint16_t heldWord = 0;
    // Why, in a few words: the reply that differed, the port error, "not read
    // back", "controller holds 55 V"; "" when nothing is to be added.
    std::string detail;
    // The device of the port the write was for, as the port opens it: a
    // by-id path, /dev/..., COMn or a network address.
    std::string device;

    // The held word differs from the word written.
    bool heldDiffers() const { return readBack && heldWord != word; }
    // "Over volt = 58 V" (GBK).
    std::string entry() const;
    // "Over volt = 58 V confirmed", "Over volt = 58 V written; controller holds
    // 55 V", "Over volt = 58 V NOT confirmed: no reply" (GBK, without a time).
    std::string summary() const;
    // True for the outcome shown in the normal colour.
    bool good() const { return outcome == WriteOutcome::Confirmed && !heldDiffers(); }
};

// A value of a register word in the record's unit.
double WriteValueOf(const WriteRecord& record, std::uint16_t word);

// --- Observing ---------------------------------------------------------------
// Called once per record when it has ended, on the thread that ended it: the
// communication thread for most outcomes, the submitting thread for
// superseded and port-closed ones. Must return promptly (no file I/O, no
// waiting); hand anything slow to another thread.
using WriteObserver = std::function<void(const WriteRecord&)>;
// Returns a token for RemoveWriteObserver.
int AddWriteObserver(WriteObserver observer);
// After it returns the observer is no longer called (waits for a call in
// progress on another thread to finish).
void RemoveWriteObserver(int token);

// The latest ended record of a register; false when none has ended.
bool LatestWrite(int address, WriteRecord* out);
// Waits up to `timeout` for record `id` to end (recent records only). For
// callers without an event loop, such as a command line.
bool WaitForWrite(std::uint64_t id, std::chrono::milliseconds timeout, WriteRecord* out);

// --- Submitting (any thread) ---------------------------------------------------
// Stores `registerValue` into `item`, marks it for sending and opens a record.
// A record of the same item that has not gone out yet ends as superseded.
// With `portOpen` false nothing is marked and the record ends at once as
// port closed; while a replay runs (SetReplaying), likewise as "not written:
// replay". An `urgent` write (the motor-test stop) goes out ahead of every
// other; while one waits, a normal submission of the same item ends at once as
// superseded and leaves the urgent one as it is. Returns the record's id.
std::uint64_t SubmitWrite(DataItem& item, double registerValue, const WriteRequest& what, bool portOpen,
                          bool urgent = false);

// --- The line (communication thread) -------------------------------------------
// Takes an item marked for sending (normal or urgent): clears its mark and gives the register
// word to send. False when it is not marked.
bool TakeWrite(DataItem& item, std::uint16_t* word);
// `length` bytes of `frame` were written to the line. When they are the
// request of the write taken last, that write has gone out: losing the port
// before its echo leaves its outcome unknown rather than "port closed".
void WriteRequestSent(const unsigned char* frame, int length);
// Stores the registers of a read reply (`words`: count big-endian words) into
// items, setting their refresh flags (and clearing the block's query flag when
// `clearsQuery`). Items marked for sending keep the operator's value.
void StoreReadReply(DataItem* items, int count, const unsigned char* words, bool clearsQuery);
// The reply to `request` (8 bytes) was parsed with result `parseResult`.
void WriteReplyArrived(const unsigned char* request, const unsigned char* reply, int replyLength,
                       int parseResult);
// No reply to `request` came in time.
void WriteReplyTimedOut(const unsigned char* request);
// The port is closed or failed: every open record ends (port closed; unknown
// for the write whose request went out; confirmed without read-back) and every
// mark for sending is cleared, so that nothing asked for before is written on
// whatever is connected next. With `keepPending` (the console waits to
// reconnect the same device) writes not yet sent stay marked and go out once
// the device is back, and a write whose echo was lost waits for the read of its
// page after the return, so that its outcome tells what the controller holds.
void AbandonWrites(const std::string& why, bool keepPending = false);

// The observer of the line: requests sent, replies, time-outs and the port
// closing or opening anew go to the functions above.
void FollowLineForWrites(const LineReport& report);

// While `on`, every write submitted ends at once as not written: the line
// plays a recorded session back, and no device is there to write to.
void SetReplaying(bool on);
bool Replaying();

// Tests: forgets every record, observer and mark (and the replay's refusal).
void ResetWriteTracking();
