#include "logmanager.h"

#include "logger.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace Log4Qt {

namespace {

// Loggers are never destroyed: class loggers keep plain pointers to them, and writes may
// still come from threads while the process winds down.
struct Repository {
    QMutex mutex;
    QHash<QString, Logger *> loggers;
    Logger *root = nullptr;
    QElapsedTimer clock;
};

Repository &repository()
{
    static Repository *instance = [] {
        auto *r = new Repository;
        r->clock.start();
        return r;
    }();
    return *instance;
}

std::atomic<int> gThreshold{Level::NULL_INT};

} // namespace

Logger *LogManager::rootLogger()
{
    Repository &r = repository();
    QMutexLocker lock(&r.mutex);
    if (!r.root) {
        r.root = new Logger(QStringLiteral("root"), nullptr);
        r.root->setLevel(Level::DEBUG_INT);
    }
    return r.root;
}

Logger *LogManager::logger(const QString &name)
{
    Logger *root = rootLogger();
    if (name.isEmpty() || name == root->name())
        return root;
    Repository &r = repository();
    QMutexLocker lock(&r.mutex);
    Logger *&logger = r.loggers[name];
    if (!logger)
        logger = new Logger(name, root);
    return logger;
}

Level LogManager::threshold()
{
    return Level(static_cast<Level::Value>(gThreshold.load()));
}

void LogManager::setThreshold(Level level)
{
    gThreshold.store(level.toInt());
}

void LogManager::resetConfiguration()
{
    Logger *root = rootLogger();
    root->removeAllAppenders();
    root->setLevel(Level::DEBUG_INT);
    Repository &r = repository();
    QMutexLocker lock(&r.mutex);
    for (Logger *logger : qAsConst(r.loggers)) {
        logger->removeAllAppenders();
        logger->setLevel(Level::NULL_INT);
    }
}

qint64 LogManager::msecsSinceStart()
{
    return repository().clock.elapsed();
}

} // namespace Log4Qt
