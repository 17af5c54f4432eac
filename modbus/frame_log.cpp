#include "modbus/frame_log.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <algorithm>

namespace {
Q_LOGGING_CATEGORY(lcFrames, "dsc.frames", QtInfoMsg)
constexpr int kLoggedBytes = 200;  // the longest frame logged
}  // namespace

bool frameLogEnabled()
{
    return lcFrames().isDebugEnabled();
}

void logFrame(const char* direction, const unsigned char* bytes, int length)
{
    if (!lcFrames().isDebugEnabled()) return;
    QByteArray line(direction != nullptr ? direction : "");
    if (bytes != nullptr && length > 0) {
        const QByteArray frame = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), length);
        line += ' ';
        line += frame.toHex(' ').toUpper();
    }
    qCDebug(lcFrames).noquote() << line;
}

void LogLineReport(const LineReport& r)
{
    if (!lcFrames().isDebugEnabled()) return;
    const int length = r.bytes != nullptr ? std::clamp(r.length, 0, kLoggedBytes) : 0;
    switch (r.kind) {
        case LineReportKind::RequestSent:
            logFrame("TX", r.bytes, length);
            break;
        case LineReportKind::ReplyAccepted:
        case LineReportKind::ReplyRejected:
            logFrame("RX", r.bytes, length);
            break;
        case LineReportKind::Timeout:
            logFrame("RX timeout", r.bytes, length);
            break;
        default:
            break;
    }
}
