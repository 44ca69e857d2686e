#pragma once

#include "loggerglobal.h"

#include <QAtomicPointer>

class QObject;

namespace Log4Qt {

class Logger;

// The logger member of a logging class: named after the object's class, looked up once.
class VARULOGGER_EXPORT ClassLogger
{
public:
    ClassLogger();
    Logger *logger(const QObject *object);

private:
    QAtomicPointer<Logger> mLogger;
};

} // namespace Log4Qt
