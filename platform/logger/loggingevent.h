#pragma once

#include "level.h"

#include <QDateTime>
#include <QString>

namespace Log4Qt {

// One message on its way from a logger to the appenders.
struct LoggingEvent {
    Level level;
    QString loggerName;
    QString message;
    QDateTime timeStamp;
    QString threadName;
    qint64 msecsSinceStart = 0;
};

} // namespace Log4Qt
