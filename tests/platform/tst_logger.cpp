#include "platform/logger/classlogger.h"
#include "platform/logger/level.h"
#include "platform/logger/logger.h"
#include "platform/logger/logmanager.h"
#include "platform/logger/patternlayout.h"
#include "platform/logger/properties.h"
#include "platform/logger/propertyconfigurator.h"
#include "platform/logger/rollingfileappender.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace Log4Qt;

namespace {

const QRegularExpression kLinePattern(QStringLiteral(
    "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[(INFO|WARN|ERROR|FATAL)\\] "
    "\\[([^\\]]+)\\] (.*)$"));

// The start-up's configuration, with the file and the size limit of the test's choice.
Properties startupProperties(const QString &file, const QString &maxSize = QStringLiteral("5000KB"),
    const QString &append = QStringLiteral("true"))
{
    Properties p;
    p.setProperty(QStringLiteral("log4j.rootLogger"), QStringLiteral("INFO, File"));
    p.setProperty(QStringLiteral("log4j.appender.File"),
        QStringLiteral("org.apache.log4j.RollingFileAppender"));
    p.setProperty(QStringLiteral("log4j.appender.File.File"), file);
    p.setProperty(QStringLiteral("log4j.appender.File.AppendFile"), append);
    p.setProperty(QStringLiteral("log4j.appender.File.MaxBackupIndex"), QStringLiteral("2"));
    p.setProperty(QStringLiteral("log4j.appender.File.MaxFileSize"), maxSize);
    p.setProperty(QStringLiteral("log4j.appender.File.layout"),
        QStringLiteral("org.apache.log4j.PatternLayout"));
    p.setProperty(QStringLiteral("log4j.appender.File.layout.ConversionPattern"),
        QStringLiteral("%d [%p] [%c] %m%n"));
    return p;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class Widget : public QObject
{
    Q_OBJECT
};

class Writer : public QThread
{
public:
    Writer(int id, int count) : mId(id), mCount(count) { }
    void run() override
    {
        Logger *logger = LogManager::logger(QStringLiteral("Writer%1").arg(mId));
        for (int i = 0; i < mCount; ++i) {
            if (logger->isEnabledFor(Level::INFO_INT))
                logger->forcedLog(Level::INFO_INT,
                    QStringLiteral("writer %1 line %2 %3")
                        .arg(mId)
                        .arg(i)
                        .arg(QString(40, QLatin1Char('x'))));
        }
    }

private:
    int mId;
    int mCount;
};

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        LogManager::resetConfiguration();
        LogManager::setThreshold(Level::NULL_INT);
    }

    void levels_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        QTest::newRow("INFO") << 128 << "INFO";
        QTest::newRow("WARN") << 150 << "WARN";
        QTest::newRow("ERROR") << 182 << "ERROR";
        QTest::newRow("FATAL") << 214 << "FATAL";
    }
    void levels()
    {
        QFETCH(int, level);
        QFETCH(QString, name);
        bool ok = false;
        QCOMPARE(Level::fromString(name.toLower(), &ok).toInt(), level);
        QVERIFY(ok);
        QCOMPARE(Level(static_cast<Level::Value>(level)).toString(), name);
    }

    void patternLayout_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("start-up pattern") << "%d{yyyy} [%p] [%c] %m%n"
                                          << "2026 [WARN] [VaruApkInfo] hi\n";
        QTest::newRow("widths") << "%-6p|%6c|%.3c"
                                << "WARN  |VaruApkInfo|nfo";
        QTest::newRow("padding") << "[%7p]"
                                 << "[   WARN]";
        QTest::newRow("percent and unknown") << "100%% %q"
                                             << "100% %q";
        QTest::newRow("literal only") << "plain"
                                      << "plain";
    }
    void patternLayout()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        LoggingEvent event;
        event.level = Level::WARN_INT;
        event.loggerName = QStringLiteral("VaruApkInfo");
        event.message = QStringLiteral("hi");
        event.timeStamp = QDateTime(QDate(2026, 12, 11), QTime(6, 40));
        QCOMPARE(PatternLayout(pattern).format(event), expected);
    }

    // Look-ups fall through to the default set, as start-up configures it.
    void configureThroughDefaultSet()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("varuclasslog.txt"));
        const Properties defaults = startupProperties(file);
        const Properties properties(&defaults);
        LogManager::setThreshold(Level::INFO_INT);
        QVERIFY(PropertyConfigurator::configure(properties));

        Widget widget;
        ClassLogger classLogger;
        Logger *logger = classLogger.logger(&widget);
        QCOMPARE(logger->name(), QStringLiteral("Widget"));
        QCOMPARE(classLogger.logger(&widget), logger);
        QVERIFY(!logger->isEnabledFor(Level::DEBUG_INT));
        QVERIFY(logger->isEnabledFor(Level::INFO_INT));
        QVERIFY(logger->isEnabledFor(Level::FATAL_INT));
        logger->forcedLog(Level::ERROR_INT, QStringLiteral("disk full"));
        LogManager::rootLogger()->forcedLog(Level::INFO_INT, QStringLiteral("from root"));

        const QStringList lines = readLines(file);
        QCOMPARE(lines.size(), 2);
        QRegularExpressionMatch m = kLinePattern.match(lines[0]);
        QVERIFY2(m.hasMatch(), qPrintable(lines[0]));
        QCOMPARE(m.captured(1), QStringLiteral("ERROR"));
        QCOMPARE(m.captured(2), QStringLiteral("Widget"));
        QCOMPARE(m.captured(3), QStringLiteral("disk full"));
        QVERIFY(lines[1].endsWith(QStringLiteral("[INFO] [root] from root")));
    }

    void thresholdAboveLoggerLevel()
    {
        LogManager::setThreshold(Level::ERROR_INT);
        Logger *logger = LogManager::logger(QStringLiteral("Any"));
        QVERIFY(!logger->isEnabledFor(Level::WARN_INT));
        QVERIFY(logger->isEnabledFor(Level::ERROR_INT));
    }

    void appendOrTruncate_data()
    {
        QTest::addColumn<QString>("append");
        QTest::addColumn<int>("lines");
        QTest::newRow("append across runs") << "true" << 2;
        QTest::newRow("start afresh") << "false" << 1;
    }
    void appendOrTruncate()
    {
        QFETCH(QString, append);
        QFETCH(int, lines);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("log.txt"));
        for (int run = 0; run < 2; ++run) {
            QVERIFY(PropertyConfigurator::configure(
                startupProperties(file, QStringLiteral("5000KB"), append)));
            LogManager::rootLogger()->forcedLog(Level::INFO_INT, QStringLiteral("run %1").arg(run));
        }
        QCOMPARE(readLines(file).size(), lines);
    }

    void rollsAtSizeLimitKeepingTwoBackups()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(PropertyConfigurator::configure(startupProperties(file, QStringLiteral("1KB"))));
        Logger *root = LogManager::rootLogger();
        const int total = 200;
        for (int i = 0; i < total; ++i)
            root->forcedLog(Level::INFO_INT,
                QStringLiteral("line %1 ").arg(i, 4, 10, QLatin1Char('0'))
                    + QString(40, QLatin1Char('y')));

        QVERIFY(QFile::exists(file + QStringLiteral(".1")));
        QVERIFY(QFile::exists(file + QStringLiteral(".2")));
        QVERIFY(!QFile::exists(file + QStringLiteral(".3")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);

        // Oldest backup first, the live file last: the numbers run on without a gap and
        // end with the last line written.
        QStringList all;
        for (const QString &name :
            {file + QStringLiteral(".2"), file + QStringLiteral(".1"), file}) {
            QVERIFY(QFileInfo(name).size() <= 1024 + 100);
            all += readLines(name);
        }
        QVERIFY(!all.isEmpty());
        int previous = -1;
        for (const QString &line : all) {
            const int number = line.section(QStringLiteral("line "), 1).left(4).toInt();
            if (previous >= 0)
                QCOMPARE(number, previous + 1);
            previous = number;
        }
        QCOMPARE(previous, total - 1);
    }

    void concurrentWritersWriteWholeLines()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(PropertyConfigurator::configure(startupProperties(file)));
        const int writers = 8;
        const int perWriter = 500;
        QList<Writer *> threads;
        for (int i = 0; i < writers; ++i)
            threads << new Writer(i, perWriter);
        for (Writer *t : threads)
            t->start();
        for (Writer *t : threads) {
            QVERIFY(t->wait(60000));
            delete t;
        }

        const QStringList lines = readLines(file);
        QCOMPARE(lines.size(), writers * perWriter);
        QVector<int> next(writers, 0);
        const QRegularExpression message(QStringLiteral("^writer (\\d+) line (\\d+) x{40}$"));
        for (const QString &line : lines) {
            const QRegularExpressionMatch m = kLinePattern.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const QRegularExpressionMatch body = message.match(m.captured(3));
            QVERIFY2(body.hasMatch(), qPrintable(line));
            const int id = body.captured(1).toInt();
            QCOMPARE(m.captured(2), QStringLiteral("Writer%1").arg(id));
            QCOMPARE(body.captured(2).toInt(), next[id]++);
        }
    }

    void createsMissingFolder()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a/b/c/log.txt"));
        QVERIFY(PropertyConfigurator::configure(startupProperties(file)));
        LogManager::rootLogger()->forcedLog(Level::INFO_INT, QStringLiteral("hello"));
        QCOMPARE(readLines(file).size(), 1);
    }

    // Root ignores file modes, so the unwritable cases are ones no user can write to.
    void unwritableLogIsHarmless_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("folder is a file") << "plain/log.txt";
        QTest::newRow("log file is a folder") << "folder";
    }
    void unwritableLogIsHarmless()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(!PropertyConfigurator::configure(startupProperties(dir.filePath(relative))));
        LogManager::rootLogger()->forcedLog(Level::INFO_INT, QStringLiteral("goes nowhere"));
        QVERIFY(LogManager::rootLogger()->isEnabledFor(Level::INFO_INT));
    }

    void invalidConfigurations_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("unknown level") << "log4j.rootLogger"
                                       << "LOUD, File";
        QTest::newRow("unknown appender") << "log4j.appender.File"
                                          << "org.apache.log4j.SocketAppender";
        QTest::newRow("bad size") << "log4j.appender.File.MaxFileSize"
                                  << "big";
        QTest::newRow("bad backup count") << "log4j.appender.File.MaxBackupIndex"
                                          << "-1";
        QTest::newRow("unknown layout") << "log4j.appender.File.layout"
                                        << "org.apache.log4j.XMLLayout";
    }
    void invalidConfigurations()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        Properties p = startupProperties(dir.filePath(QStringLiteral("log.txt")));
        p.setProperty(key, value);
        QVERIFY(!PropertyConfigurator::configure(p));
    }

    void fileSizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("KB") << "5000KB" << qint64(5000 * 1024);
        QTest::newRow("MB lower") << "2mb" << qint64(2 * 1024 * 1024);
        QTest::newRow("bytes") << "777" << qint64(777);
        QTest::newRow("junk") << "5000XB" << qint64(-1);
    }
    void fileSizes()
    {
        QFETCH(QString, text);
        QFETCH(qint64, bytes);
        QCOMPARE(RollingFileAppender::parseFileSize(text), bytes);
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
