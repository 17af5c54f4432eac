// drive-console serve: the console for scripts that do several things with a
// controller in one run. It opens the line, writes the password and polls as
// the window does, and answers JSON-RPC 2.0 requests (rpc/json_rpc.h), one
// JSON text per line each way: reads of the status and the parameters,
// guarded and journaled writes, the parameter-set commands, the fault history,
// and notifications of fault events, of the link and of status replies. It
// runs the same core as the window with no widgets; requests are handled one
// at a time, so only one of them is ever on the line.
#pragma once

#include <QByteArray>
#include <cstdio>
#include <functional>

#include "app/command_port.h"

class CommandCapture;

struct ServeOptions {
    CommandPortOptions port;
    int giveUpMs = 10000;               // a request's default time-out
    CommandCapture* capture = nullptr;  // told of as serve goes; nullptr: none
};

// The console's own error codes, beside the protocol's.
enum ServeError {
    kServeNoAnswer = -32000,      // no answer within the time-out
    kServePortClosed = -32001,    // the port is closed or failed
    kServeNeedsConfirm = -32002,  // a guarded change without confirm: true
    kServeNotParameter = -32003,  // not a parameter register (or a command register)
    kServeOutOfRange = -32004,    // outside the control's range
    kServeRefused = -32005,       // refused as the window refuses it (motor test, hall-fault mask)
    kServeFile = -32006,          // a file that cannot be read or written, a bad set
};

// The next line of input into *line (without its end), with *tooLong when it
// was cut; false at the end of input.
using ServeInput = std::function<bool(QByteArray* line, bool* tooLong)>;
// Writes one JSON text (without a line end) and flushes; called from two
// threads, never at once.
using ServeOutput = std::function<void(const QByteArray& json)>;

// Serves until the end of input or console.shutdown, with the journals
// flushed. Returns kCommandOk, or kCommandNoAnswer when the port did not open
// or the controller never answered.
int RunServe(const ServeOptions& options, const ServeInput& in, const ServeOutput& out, std::FILE* err);
