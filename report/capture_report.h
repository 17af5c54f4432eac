// A service report made from a capture of the line instead of the line
// itself: what the capture tells is what the report holds.
//
//   status, faults  every accepted reply to the status read, fed through a
//                   fault tracker on the capture's own times: the port
//                   closed and opened again, or silent for more than the
//                   stale time (to the capture's end too), is a loss of the
//                   link; replies to page reads between two status replies
//                   keep it
//   parameters      the last accepted read of each parameter register
//   link            the counters the packets and their comments give
//   about           the port and framing of the capture's last interface
// The writes are not taken from it: what a write meant (its panel, its value
// and whether it held) is in the console's write journal, not on the line.
#pragma once

#include <string>
#include <vector>

#include "report/service_report.h"

struct CaptureReport {
    ReportInputs inputs;  // capture, faults, link, parameters, madeWallMs: the last packet
    std::size_t statusReplies = 0;
    std::string error;  // the capture cannot be read, or stops short (what came before is kept)
};

// The report of `capture`; `version` is the console's, for the about block.
CaptureReport ReportFromCapture(const std::vector<unsigned char>& capture, const std::string& version);
