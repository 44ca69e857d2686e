#include "tools/task.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

class TestTask : public QObject
{
    Q_OBJECT

private slots:
    // The completion runs once, on the starting thread, and only once control is back in
    // the event loop: never inside then(), not even when the work has long finished.
    void completionRunsOnStartingThreadAfterLoopResumes()
    {
        QThread *worker = nullptr;
        auto *handle = Task::run([&worker]() {
            worker = QThread::currentThread();
            return 42;
        });
        Task::Thread *job = handle->thread();
        QCOMPARE(QByteArray(job->metaObject()->className()), QByteArray("Task::Thread"));
        int calls = 0;
        int result = 0;
        QThread *completionThread = nullptr;
        handle->then([&](int value) {
            ++calls;
            result = value;
            completionThread = QThread::currentThread();
        });
        QCOMPARE(calls, 0);
        QVERIFY(job->wait(30000));
        QCOMPARE(calls, 0);

        QSignalSpy destroyed(job, &QObject::destroyed);
        QVERIFY(destroyed.wait(30000));
        QCOMPARE(calls, 1);
        QCOMPARE(result, 42);
        QCOMPARE(completionThread, QThread::currentThread());
        QVERIFY(worker != QThread::currentThread());
    }

    void textResults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("text") << QStringLiteral("package: name='com.example'");
    }
    void textResults()
    {
        QFETCH(QString, text);
        bool called = false;
        QString received = QStringLiteral("untouched");
        Task::run([text]() { return text; })->then([&](QString value) {
            called = true;
            received = value;
        });
        QTRY_VERIFY_WITH_TIMEOUT(called, 30000);
        QCOMPARE(received, text);
    }

    // Each job waits for the other to have started: both finish only if they run at once.
    void twoJobsRunInParallel()
    {
        QSemaphore aStarted, bStarted;
        QString a, b;
        Task::run([&]() {
            aStarted.release();
            return bStarted.tryAcquire(1, 20000) ? QStringLiteral("A") : QStringLiteral("A alone");
        })->then([&](QString value) { a = value; });
        Task::run([&]() {
            bStarted.release();
            return aStarted.tryAcquire(1, 20000) ? QStringLiteral("B") : QStringLiteral("B alone");
        })->then([&](QString value) { b = value; });
        QTRY_VERIFY_WITH_TIMEOUT(!a.isEmpty() && !b.isEmpty(), 30000);
        QCOMPARE(a, QStringLiteral("A"));
        QCOMPARE(b, QStringLiteral("B"));
    }

    void destroyedStarterIsNotTouched_data()
    {
        QTest::addColumn<bool>("destroyFirst");
        QTest::newRow("starter destroyed") << true;
        QTest::newRow("starter alive") << false;
    }
    void destroyedStarterIsNotTouched()
    {
        QFETCH(bool, destroyFirst);
        auto *starter = new QObject;
        bool touched = false;
        auto *handle = Task::run([]() { return 7; });
        QSignalSpy done(handle->thread(), &QObject::destroyed);
        handle->then(starter, [starter, &touched](int value) {
            starter->setObjectName(QString::number(value));
            touched = true;
        });
        if (destroyFirst)
            delete starter;
        QVERIFY(done.wait(30000));
        QCOMPARE(touched, !destroyFirst);
        if (!destroyFirst) {
            QCOMPARE(starter->objectName(), QStringLiteral("7"));
            delete starter;
        }
    }
};

QTEST_GUILESS_MAIN(TestTask)
#include "tst_task.moc"
