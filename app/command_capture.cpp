#include "app/command_capture.h"

#include "app/command_port.h"
#include "app/command_status.h"
#include "app/version.h"
#include "serial/line_machine.h"

namespace {

LineCaptureOptions commandOptions()
{
    LineCaptureOptions o;
    o.application = std::string("drive-console ") + ConsoleVersion();
    return o;
}

}  // namespace

CommandCapture::CommandCapture(std::FILE* err) : capture_(TheLine(), commandOptions()), err_(err) {}

CommandCapture::~CommandCapture()
{
    finish();
}

bool CommandCapture::start(const std::string& path)
{
    std::string error;
    if (!capture_.start(path, &error)) {
        std::fprintf(err_, "drive-console: capture: %s\n", error.c_str());
        failed_ = true;
        return false;
    }
    path_ = path;
    return true;
}

void CommandCapture::look()
{
    const std::string error = capture_.takeError();
    if (error.empty()) return;
    failed_ = true;
    std::fprintf(err_, "drive-console: %s (the command goes on)\n", error.c_str());
}

void CommandCapture::finish()
{
    if (path_.empty()) return;
    // The command's line has ended: what it sent last is in the file too.
    capture_.lineEnded(kCommandEnded);
    capture_.stop();
    look();
    if (!failed_) {
        const std::string packets = std::to_string(capture_.packetsWritten());
        std::fprintf(err_, "drive-console: %s packets captured to %s\n", packets.c_str(), path_.c_str());
    }
    path_.clear();
}

int CommandCapture::status(int status) const
{
    // What the command found stands: a fault seen, a register that differs.
    if (!failed_ || status == kCommandDiffers) return status;
    return kCommandBadInput;
}
