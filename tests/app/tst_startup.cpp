#include "app/startup.h"
#include "platform/logger/level.h"
#include "platform/logger/logger.h"
#include "platform/logger/logmanager.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kBegin
    = QStringLiteral("############################# BEGIN #############################");
const QString kVersion = QStringLiteral("*** app version: 1 ***");

QStringList logLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// The banner as it stands in the file: the "\r\n" message, its line end, BEGIN, version.
void verifyBanner(const QStringList &lines, int at)
{
    QVERIFY(lines.size() >= at + 4);
    QVERIFY2(lines[at].endsWith(QStringLiteral(" [INFO] [root] \r")), qPrintable(lines[at]));
    QCOMPARE(lines[at + 1], QString());
    QVERIFY2(lines[at + 2].endsWith(QStringLiteral(" [INFO] [root] ") + kBegin),
        qPrintable(lines[at + 2]));
    QVERIFY2(lines[at + 3].endsWith(QStringLiteral(" [INFO] [root] ") + kVersion),
        qPrintable(lines[at + 3]));
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void attributesAndFont()
    {
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling));
        QVERIFY(QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
        installApplicationFont();
        QCOMPARE(QApplication::font().family(), QStringLiteral("Microsoft YaHei"));
        QCOMPARE(QApplication::font().pixelSize(), 16);
    }

    // Every run appends the banner before any other line of that run.
    void bannerOnEveryRun()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        const QString log = home.filePath(QStringLiteral("tst_startup/varuclasslog.txt"));
        QCOMPARE(appDataFolder(), home.filePath(QStringLiteral("tst_startup")));

        QVERIFY(initLogging());
        Log4Qt::LogManager::logger(QStringLiteral("VaruApkInfo"))
            ->forcedLog(Log4Qt::Level::INFO_INT, QStringLiteral("first run"));
        QVERIFY(initLogging());

        const QStringList lines = logLines(log);
        verifyBanner(lines, 0);
        QVERIFY(lines[4].endsWith(QStringLiteral(" [INFO] [VaruApkInfo] first run")));
        verifyBanner(lines, 5);
        QCOMPARE(lines.size(), 10); // the last line has ended
        Log4Qt::LogManager::resetConfiguration();
    }

    void failedLogConfigurationStillShowsWindow()
    {
        QTemporaryDir home;
        QFile blocker(home.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());
        QVERIFY(!initLogging());

        VaruMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        Log4Qt::LogManager::resetConfiguration();
    }

    // The real main program: it comes up, logs its banner into its data folder and keeps
    // running its event loop.
    void mainProgramStarts()
    {
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VARU_BIN_DIR "/VaruPC"), QStringList());
        QVERIFY(program.waitForStarted(30000));
        const QString log = home.filePath(QStringLiteral("VaruPC/varuclasslog.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(logLines(log).size() >= 5, 30000);
        verifyBanner(logLines(log), 0);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        QVERIFY(program.waitForFinished(30000));
    }
};

int main(int argc, char *argv[])
{
    setApplicationAttributes();
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
