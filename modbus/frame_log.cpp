#include "modbus/frame_log.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcFrames, "dsc.frames", QtInfoMsg)
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
