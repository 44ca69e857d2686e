#pragma once

#include "appender.h"
#include "level.h"

#include <QList>
#include <QReadWriteLock>
#include <QSharedPointer>
#include <QString>

#include <atomic>

namespace Log4Qt {

// A named logger. Class loggers have no appenders of their own and pass their events on
// to the root logger's; their level is the root's unless set. Loggers are made and kept
// by LogManager and live until the process ends.
class VARULOGGER_EXPORT Logger
{
public:
    Logger(const Logger &) = delete;
    Logger &operator=(const Logger &) = delete;

    QString name() const { return mName; }
    Logger *parentLogger() const { return mParent; }

    Level level() const { return Level(static_cast<Level::Value>(mLevel.load())); }
    void setLevel(Level level) { mLevel.store(level.toInt()); }
    Level effectiveLevel() const;

    // True when an event of this level passes the global threshold and this logger's level.
    bool isEnabledFor(Level level) const;
    // Hands a message to the appenders without looking at the levels.
    void forcedLog(Level level, const QString &message) const;

    void addAppender(const QSharedPointer<Appender> &appender);
    void removeAllAppenders();
    QList<QSharedPointer<Appender>> appenders() const;

private:
    friend class LogManager;
    Logger(const QString &name, Logger *parent);

    const QString mName;
    Logger *const mParent;
    std::atomic<int> mLevel;
    mutable QReadWriteLock mLock;
    QList<QSharedPointer<Appender>> mAppenders;
};

} // namespace Log4Qt
