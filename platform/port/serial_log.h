// The serial ports' log: opens, closes and errors; off by default, enabled
// with QT_LOGGING_RULES="dsc.serial=true".
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)
