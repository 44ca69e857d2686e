#include "logger.h"

#include "logmanager.h"

#include <QThread>

namespace Log4Qt {

Logger::Logger(const QString &name, Logger *parent)
    : mName(name), mParent(parent), mLevel(Level::NULL_INT)
{ }

Level Logger::effectiveLevel() const
{
    for (const Logger *logger = this; logger; logger = logger->mParent) {
        const Level level = logger->level();
        if (level != Level::NULL_INT)
            return level;
    }
    return Level::ALL_INT;
}

bool Logger::isEnabledFor(Level level) const
{
    return level >= LogManager::threshold() && level >= effectiveLevel();
}

void Logger::forcedLog(Level level, const QString &message) const
{
    LoggingEvent event;
    event.level = level;
    event.loggerName = mName;
    event.message = message;
    event.timeStamp = QDateTime::currentDateTime();
    event.msecsSinceStart = LogManager::msecsSinceStart();
    QThread *thread = QThread::currentThread();
    event.threadName = thread && !thread->objectName().isEmpty()
        ? thread->objectName()
        : QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()), 16);
    for (const Logger *logger = this; logger; logger = logger->mParent) {
        for (const QSharedPointer<Appender> &appender : logger->appenders())
            appender->append(event);
    }
}

void Logger::addAppender(const QSharedPointer<Appender> &appender)
{
    QWriteLocker lock(&mLock);
    mAppenders.append(appender);
}

void Logger::removeAllAppenders()
{
    QList<QSharedPointer<Appender>> removed;
    {
        QWriteLocker lock(&mLock);
        removed.swap(mAppenders);
    }
    for (const QSharedPointer<Appender> &appender : removed)
        appender->close();
}

QList<QSharedPointer<Appender>> Logger::appenders() const
{
    QReadLocker lock(&mLock);
    return mAppenders;
}

} // namespace Log4Qt
