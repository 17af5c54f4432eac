#include "app/command_capture.h"

#include <QCoreApplication>

#include "app/command_port.h"
#include "app/command_status.h"
#include "app/version.h"
#include "serial/line_machine.h"

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};

// `message` on the command's standard error.
void say(std::FILE* err, const QString& message)
{
    std::fprintf(err, "drive-console: %s\n", message.toStdString().c_str());
}

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
        say(err_, Tr::tr("capture: %1").arg(QString::fromStdString(error)));
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
    say(err_, Tr::tr("%1 (the command goes on)").arg(QString::fromStdString(error)));
}

void CommandCapture::finish()
{
    if (path_.empty()) return;
    // The command's line has ended: what it sent last is in the file too.
    capture_.lineEnded(kCommandEnded);
    capture_.stop();
    look();
    if (!failed_) {
        say(err_, Tr::tr("%1 packets captured to %2")
                      .arg(QString::number(capture_.packetsWritten()), QString::fromStdString(path_)));
    }
    path_.clear();
}

int CommandCapture::status(int status) const
{
    // What the command found stands: a fault seen, a register that differs.
    if (!failed_ || status == kCommandDiffers) return status;
    return kCommandBadInput;
}
