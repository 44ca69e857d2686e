#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestCrashHandler : public QObject
{
    Q_OBJECT

private:
    // Runs the child with its data folder below dataHome; returns the process's end.
    static void runChild(const QString &mode, const QString &dataHome, QProcess &child)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(VARU_TEST_DIR "/crashchild"), {mode});
        QVERIFY(child.waitForFinished(60000));
    }

private slots:
    void crashLeavesOneDumpAndDiesBySignal_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("signalName");
        QTest::newRow("null pointer on the main thread") << "segv" << SIGSEGV << "SIGSEGV";
        QTest::newRow("null pointer on a worker thread") << "segv-thread" << SIGSEGV << "SIGSEGV";
        QTest::newRow("two threads crash at once") << "two-threads" << SIGSEGV << "SIGSEGV";
        QTest::newRow("abort") << "abort" << SIGABRT << "SIGABRT";
        QTest::newRow("stack overflow") << "overflow" << SIGSEGV << "SIGSEGV";
    }
    void crashLeavesOneDumpAndDiesBySignal()
    {
        QFETCH(QString, mode);
        QFETCH(int, signal);
        QFETCH(QString, signalName);
        QTemporaryDir home;
        QDir dataFolder(home.filePath(QStringLiteral("crashchild")));
        QVERIFY(QDir().mkpath(dataFolder.path()));

        QProcess child;
        runChild(mode, home.path(), child);
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), signal);

        const QStringList dumps = dataFolder.entryList(QDir::Files);
        QCOMPARE(dumps.size(), 1);
        const QRegularExpression name(
            QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\.dmp$"));
        QVERIFY2(name.match(dumps[0]).hasMatch(), qPrintable(dumps[0]));

        QFile dump(dataFolder.filePath(dumps[0]));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(dump.readAll());
        QVERIFY(text.contains(QStringLiteral("Signal: %1 (%2)").arg(signal).arg(signalName)));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("Fault address: 0x[0-9a-f]{16}"))));
        QVERIFY(text.contains(QStringLiteral("Stack trace of the crashing thread:")));
        QVERIFY(text.contains(QStringLiteral("Loaded modules:")));
        QVERIFY(text.contains(QStringLiteral("libQt5Core")));
        QVERIFY(text.contains(QStringLiteral("crash-dump"))); // the dump thread is listed
        if (signal == SIGSEGV && mode != QLatin1String("overflow")) {
            QVERIFY(text.contains(QStringLiteral("Fault address: 0x0000000000000000")));
            QVERIFY2(text.contains(QStringLiteral("crashOnPurpose")), qPrintable(text.left(2000)));
        }
    }

    // Without a dump folder no dump can be written: the earlier handler takes over.
    void earlierHandlerRunsWhenNoDumpCanBeWritten()
    {
        QTemporaryDir home;
        QProcess child;
        runChild(QStringLiteral("chain"), home.path(), child);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 42);
        QVERIFY(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // With a dump written, the process still ends as crashed, not through the earlier handler.
    void dumpWrittenEndsByDefaultAction()
    {
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("crashchild"))));
        QProcess child;
        runChild(QStringLiteral("chain"), home.path(), child);
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), SIGSEGV);
        QCOMPARE(
            QDir(home.filePath(QStringLiteral("crashchild"))).entryList(QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashHandler)
#include "tst_crashhandler.moc"
