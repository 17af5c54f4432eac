#include "engine/line_wiring.h"

#include "engine/ems.h"
#include "engine/traffic_decode.h"
#include "modbus/frame_log.h"
#include "modbus/line_events.h"
#include "modbus/modbus.h"
#include "modbus/write_outcome.h"
#include "model/data_item.h"
#include "model/link_health.h"
#include "serial/line_machine.h"

namespace {

bool isStatusReply(const LineReport& r)
{
    std::int16_t words[DATAITEMOR_COUNT];
    return StatusReplyWords(r, words);
}

// Link health: every accepted reply, the status replies on their own, the
// password accepted, and a port opened, failed or closed (the answers so far
// were another line's).
void followLineForHealth(const LineReport& r)
{
    switch (r.kind) {
        case LineReportKind::ReplyAccepted:
            NoteAcceptedReply();
            if (isStatusReply(r)) NoteStatusReply();
            break;
        case LineReportKind::PasswordAccepted:
            NotePasswordAccepted();
            break;
        case LineReportKind::PortOpened:
        case LineReportKind::PortFailed:
        case LineReportKind::PortClosed:
            NoteLineReset();
            break;
        default:
            break;
    }
}

}  // namespace

LineWiring::LineWiring(LineMachine& line) : line_(line)
{
    active_ = line_.setRequestChooser(buildNextRequest);
    if (!active_) return;
    LineObservers& observers = line_.observers();
    tokens_.push_back(observers.add(followLineForHealth));
    tokens_.push_back(observers.add(FollowLineForWrites));
    tokens_.push_back(observers.add(RecordLineReport));
    tokens_.push_back(observers.add(LogLineReport));
}

LineWiring::~LineWiring()
{
    if (!active_) return;
    for (const int token : tokens_) line_.observers().remove(token);
    line_.clearRequestChooser(buildNextRequest);
}
