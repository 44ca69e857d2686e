#pragma once

#include "loggingevent.h"
#include "patternlayout.h"

#include <QString>

namespace Log4Qt {

// Receives the events of the loggers it is attached to. Implementations must accept
// events from several threads at once.
class VARULOGGER_EXPORT Appender
{
public:
    explicit Appender(const QString &name) : mName(name) { }
    virtual ~Appender() = default;
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;

    QString name() const { return mName; }
    // Opens what the appender writes to; false when that failed (events are then dropped).
    virtual bool activateOptions() = 0;
    virtual void append(const LoggingEvent &event) = 0;
    virtual void close() = 0;

private:
    QString mName;
};

} // namespace Log4Qt
