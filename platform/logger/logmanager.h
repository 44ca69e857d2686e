#pragma once

#include "level.h"

#include <QString>

namespace Log4Qt {

class Logger;

// The process-wide registry of loggers and the global threshold.
class VARULOGGER_EXPORT LogManager
{
public:
    LogManager() = delete;

    static Logger *rootLogger();
    // The logger of that name, made on first use; never null.
    static Logger *logger(const QString &name);

    static Level threshold();
    static void setThreshold(Level level);

    // Closes and removes every appender and clears every logger's level.
    static void resetConfiguration();
    static qint64 msecsSinceStart();
};

} // namespace Log4Qt
