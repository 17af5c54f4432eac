// drive-console report: one service report of a controller, without a
// display. It writes the password, polls the status block for a while (the
// faults, the status values and the capture of the line come from that),
// reads the six pages fresh and writes the bundle (report/service_report.h).
#pragma once

#include <cstdio>
#include <string>

#include "app/command_port.h"

class CommandCapture;

struct ReportOptions {
    CommandPortOptions port;
    double durationS = 30;              // of polling, from the first status reply
    std::string reference;              // a set to compare the parameters with; empty: none
    std::string out;                    // the zip; empty: drive-report-<time>.zip here
    int giveUpMs = 10000;               // no reply for this long: the controller gave no answer
    CommandCapture* capture = nullptr;  // the line's, made before the port opens (not owned)
    std::string replay;                 // a capture to make the report from instead of the line
};

// Runs the report and returns its exit status: kCommandOk when the bundle is
// written; kCommandNoAnswer, with no file, when the controller gave no status
// reply or its pages could not be read; kCommandBadInput, with no file, for a
// reference that cannot be loaded or an `out` that cannot be written. SIGINT
// and SIGTERM end the polling early; the report is then made of what came.
// With `replay`, nothing is opened: the report is the capture's (see
// report/capture_report.h); kCommandNoAnswer when it holds no status reply or
// no read of the parameters, kCommandBadInput when it cannot be read.
int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err);
