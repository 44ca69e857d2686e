#include "propertyconfigurator.h"

#include "logger.h"
#include "logmanager.h"
#include "rollingfileappender.h"

namespace Log4Qt {

namespace {

const QString kPrefix = QStringLiteral("log4j.");
const QString kAppenderPrefix = QStringLiteral("log4j.appender.");
const QString kLoggerPrefix = QStringLiteral("log4j.logger.");

bool isClass(const QString &value, const char *shortName)
{
    const QString name = value.trimmed();
    return name == QLatin1String("org.apache.log4j.") + QLatin1String(shortName)
        || name == QLatin1String("Log4Qt::") + QLatin1String(shortName);
}

bool toBool(const QString &value, bool fallback)
{
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("true"))
        return true;
    if (v == QLatin1String("false"))
        return false;
    return fallback;
}

QSharedPointer<Appender> makeAppender(const Properties &properties, const QString &name, bool *ok)
{
    const QString key = kAppenderPrefix + name;
    const QString className = properties.property(key);
    const bool rolling = isClass(className, "RollingFileAppender");
    if (!rolling && !isClass(className, "FileAppender")) {
        *ok = false;
        return {};
    }

    QString pattern = QStringLiteral("%m%n");
    const QString layoutClass = properties.property(key + QLatin1String(".layout"));
    if (isClass(layoutClass, "PatternLayout")) {
        const QString conversion
            = properties.property(key + QLatin1String(".layout.ConversionPattern"));
        if (!conversion.isEmpty())
            pattern = conversion;
    } else if (isClass(layoutClass, "SimpleLayout")) {
        pattern = QStringLiteral("%p - %m%n");
    } else if (!layoutClass.isEmpty()) {
        *ok = false;
    }

    auto appender = QSharedPointer<RollingFileAppender>::create(name, PatternLayout(pattern));
    appender->setFile(properties.property(key + QLatin1String(".File")).trimmed());
    appender->setAppendFile(toBool(properties.property(key + QLatin1String(".AppendFile")), true));
    if (rolling) {
        const QString sizeText = properties.property(key + QLatin1String(".MaxFileSize"));
        if (!sizeText.isEmpty()) {
            const qint64 size = RollingFileAppender::parseFileSize(sizeText);
            if (size < 0)
                *ok = false;
            else
                appender->setMaximumFileSize(size);
        }
        const QString backups = properties.property(key + QLatin1String(".MaxBackupIndex"));
        if (!backups.isEmpty()) {
            bool numeric = false;
            const int count = backups.trimmed().toInt(&numeric);
            if (!numeric || count < 0)
                *ok = false;
            else
                appender->setMaxBackupIndex(count);
        }
    } else {
        appender->setMaximumFileSize(0);
    }
    if (!appender->activateOptions())
        *ok = false;
    return appender;
}

// "LEVEL, A1, A2": sets the level and attaches the named appenders.
void configureLogger(const Properties &properties, Logger *logger, const QString &value, bool *ok)
{
    const QStringList items = value.split(QLatin1Char(','));
    const QString levelName = items.value(0).trimmed();
    if (!levelName.isEmpty()) {
        bool known = false;
        const Level level = Level::fromString(levelName, &known);
        if (known)
            logger->setLevel(level);
        else
            *ok = false;
    }
    for (int i = 1; i < items.size(); ++i) {
        const QString name = items.at(i).trimmed();
        if (name.isEmpty())
            continue;
        const QSharedPointer<Appender> appender = makeAppender(properties, name, ok);
        if (appender)
            logger->addAppender(appender);
    }
}

} // namespace

bool PropertyConfigurator::configure(const Properties &properties)
{
    bool ok = true;
    LogManager::resetConfiguration();

    const QString threshold = properties.property(kPrefix + QLatin1String("threshold"));
    if (!threshold.isEmpty()) {
        bool known = false;
        const Level level = Level::fromString(threshold, &known);
        if (known)
            LogManager::setThreshold(level);
        else
            ok = false;
    }

    const QString rootKey = kPrefix + QLatin1String("rootLogger");
    if (properties.hasProperty(rootKey))
        configureLogger(properties, LogManager::rootLogger(), properties.property(rootKey), &ok);

    for (const QString &key : properties.propertyNames()) {
        if (key.startsWith(kLoggerPrefix)) {
            configureLogger(properties, LogManager::logger(key.mid(kLoggerPrefix.size())),
                properties.property(key), &ok);
        }
    }
    return ok;
}

} // namespace Log4Qt
