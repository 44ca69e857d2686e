#include "startup.h"

#include "platform/crash/crashhandler.h"
#include "platform/logger/level.h"
#include "platform/logger/logger.h"
#include "platform/logger/logmanager.h"
#include "platform/logger/properties.h"
#include "platform/logger/propertyconfigurator.h"
#include "platform/os/fonts.h"
#include "platform/os/toolpaths.h"

#include <QApplication>
#include <QFont>
#include <QStandardPaths>

QString appDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void setApplicationAttributes()
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    // The embedded browser shares OpenGL contexts with the widgets.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    VaruOs::prepareWebEngine();
}

void installApplicationFont()
{
    VaruOs::installFontSubstitutes();
    QFont font;
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(16);
    QApplication::setFont(font);
}

bool initLogging()
{
    using namespace Log4Qt;

    // The property set lives for the rest of the process.
    static Properties *defaults = new Properties;
    defaults->clear();
    defaults->setProperty(QStringLiteral("log4j.rootLogger"), QStringLiteral("INFO, File"));
    defaults->setProperty(QStringLiteral("log4j.appender.File"),
        QStringLiteral("org.apache.log4j.RollingFileAppender"));
    defaults->setProperty(QStringLiteral("log4j.appender.File.File"),
        VaruOs::fileInFolder(appDataFolder(), QStringLiteral("varuclasslog.txt")));
    defaults->setProperty(QStringLiteral("log4j.appender.File.AppendFile"), QStringLiteral("true"));
    defaults->setProperty(
        QStringLiteral("log4j.appender.File.MaxBackupIndex"), QStringLiteral("2"));
    defaults->setProperty(
        QStringLiteral("log4j.appender.File.MaxFileSize"), QStringLiteral("5000KB"));
    defaults->setProperty(QStringLiteral("log4j.appender.File.layout"),
        QStringLiteral("org.apache.log4j.PatternLayout"));
    defaults->setProperty(QStringLiteral("log4j.appender.File.layout.ConversionPattern"),
        QStringLiteral("%d [%p] [%c] %m%n"));

    LogManager::setThreshold(Level::INFO_INT);
    const Properties properties(defaults);
    const bool configured = PropertyConfigurator::configure(properties);

    Logger *root = LogManager::rootLogger();
    const QString banner[] = {
        QStringLiteral("\r\n"),
        QStringLiteral("############################# BEGIN #############################"),
        QStringLiteral("*** app version: %1 ***").arg(1.0),
    };
    for (const QString &line : banner) {
        if (root->isEnabledFor(Level::INFO_INT))
            root->forcedLog(Level::INFO_INT, line);
    }
    return configured;
}

bool initCrashHandler()
{
    // Never destroyed: it must be there until the very end of the process.
    new VaruCrashHandler(appDataFolder());
    return true;
}
