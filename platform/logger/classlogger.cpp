#include "classlogger.h"

#include "logger.h"
#include "logmanager.h"

#include <QMetaObject>
#include <QObject>

namespace Log4Qt {

ClassLogger::ClassLogger() : mLogger(nullptr) { }

Logger *ClassLogger::logger(const QObject *object)
{
    Logger *logger = mLogger.loadAcquire();
    if (!logger) {
        logger = LogManager::logger(QString::fromLatin1(object->metaObject()->className()));
        mLogger.storeRelease(logger);
    }
    return logger;
}

} // namespace Log4Qt
