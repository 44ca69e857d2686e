#include "core/datacenter.h"
#include "service/apkdelete.h"
#include "service/apkscanner.h"
#include "service/request.h"
#include "service/requestqueue.h"
#include "tasks/apkinfo.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;

namespace {

enum Step { Upload, Reinforce, Poll, Download };
enum Trouble {
    Refused,
    ResetMidBody,
    Http500,
    Http503,
    InvalidJson,
    WrongKind,
    SlowCancelled,
    Truncated
};

// Where a trouble of a step happens: the file transfer of the download is its own endpoint.
Endpoint endpointOf(Step step, Trouble trouble)
{
    switch (step) {
    case Upload:
        return Endpoint::Upload;
    case Reinforce:
        return Endpoint::Reinforce;
    case Poll:
        return Endpoint::Status;
    default:
        return trouble == InvalidJson || trouble == WrongKind ? Endpoint::Download : Endpoint::File;
    }
}

Fault faultOf(Trouble trouble)
{
    switch (trouble) {
    case ResetMidBody:
        return Fault::Drop;
    case Http500:
        return Fault::Http500;
    case Http503:
        return Fault::Http503;
    case InvalidJson:
        return Fault::InvalidJson;
    case WrongKind:
        return Fault::JsonArray;
    case SlowCancelled:
        return Fault::SlowBody;
    default:
        return Fault::Truncate;
    }
}

// The path of the exchange that shows a step under way at the service.
std::string targetOf(Step step)
{
    switch (step) {
    case Upload:
        return "/data/upload";
    case Reinforce:
        return "/data/serve";
    case Poll:
        return "/myapp/index";
    default:
        return "/files/";
    }
}

} // namespace

// Every step of the pipeline against every way the service or the network can fail: the
// task ends with its message, the queue goes on with the next task, and the settings file
// with its records is whole afterwards.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QObject mOwner;
    VaruRequestQueue *mQueue = nullptr;
    int mApkCount = 0;
    static VaruUserModel *user() { return VaruUserModel::instance(); }

    QSharedPointer<VaruApkInfo> newTask()
    {
        VaruFixtures::ApkSpec shape;
        shape.versionName = QStringLiteral("2.%1").arg(++mApkCount);
        const QString apk = VaruFixtures::makeApk(
            mFixture.home.path(), QStringLiteral("app%1.apk").arg(mApkCount), shape);
        if (apk.isEmpty())
            return {};
        auto task = VaruFixtures::recordForFile(apk, VaruApkInfo::FileWaiting);
        user()->apkRecords()->updateRecord(task);
        return task;
    }
    QString settingsFile() const { return user()->dataCenter()->fileName(); }
    // The settings file as the next start reads it.
    QJsonObject storedSettings()
    {
        user()->dataCenter()->sync();
        QFile file(settingsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    // The settings file holds the keystore setting and a record for each of these tasks.
    void verifyStored(const QList<QSharedPointer<VaruApkInfo>> &tasks)
    {
        const QJsonObject stored = storedSettings();
        QCOMPARE(stored.value(QStringLiteral("sign/KeyStorePath")).toString(),
            QStringLiteral("/keys/release.jks"));
        const int size = stored.value(QStringLiteral("records/size")).toInt();
        QStringList md5s;
        for (int i = 1; i <= size; ++i)
            md5s << stored.value(QStringLiteral("records/%1/md5").arg(i)).toString();
        for (const auto &task : tasks)
            QVERIFY2(md5s.contains(task->md5()), qPrintable(task->md5()));
        QVERIFY(!QFile::exists(settingsFile() + QStringLiteral(".corrupt")));
    }
    // Output files made for a task: only complete ones may carry an output name.
    QStringList outputsOf(const QSharedPointer<VaruApkInfo> &task) const
    {
        const QString base = QFileInfo(task->filePath()).completeBaseName();
        return QDir(mFixture.outputDir)
            .entryList({base + QStringLiteral("_*")}, QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mFixture.sim.setSignOutput(false);
        mFixture.sim.setSlowBodyDelayMs(300);
        VaruApkScanner::instance()->setTickMillisecondsForTesting(50);
        user()->setKeyStorePath(QStringLiteral("/keys/release.jks"));
        mQueue = new VaruRequestQueue(&mOwner);
    }
    void init()
    {
        mFixture.sim.clearFaults();
        mFixture.sim.setPollsUntilDone(0);
    }
    void cleanup()
    {
        mQueue->stopAll();
        QTRY_COMPARE_WITH_TIMEOUT(VaruRequest::liveCount(), 0, 30000);
        mFixture.sim.clearFaults();
        if (!mFixture.sim.isListening())
            QVERIFY(mFixture.sim.start("127.0.0.1", mFixture.sim.port()) > 0);
    }

    void faultAtStep_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("trouble");
        QTest::addColumn<int>("fileState");
        QTest::addColumn<int>("taskState");
        QTest::addColumn<QString>("text");
        const int failed = VaruApkInfo::TaskFailed;
        const int paused = VaruApkInfo::TaskPaused;
        const struct {
            Step step;
            const char *name;
            int fileState;
            const char *badReply; // the message of a reply that is not what the step expects
            const char *refused;
            const char *serverError;
            const char *cut;
        } steps[] = {
            {Upload, "upload", 1, "文件上传失败", "网络异常", "无法连接服务器", "文件上传失败"},
            {Reinforce, "hardening request", 10, "文件加固失败", "网络异常", "无法连接服务器",
                "文件加固失败"},
            {Poll, "status poll", 10, "加固失败", "加固失败", "加固失败", "加固失败"},
            {Download, "download", 20, "文件下载失败", "网络异常", "无法连接服务器",
                "文件下载失败"},
        };
        for (const auto &s : steps) {
            auto row = [&](Trouble trouble, const char *what, int state, const char *text) {
                QTest::addRow("%s, %s", s.name, what)
                    << int(s.step) << int(trouble) << s.fileState << state << QString(text);
            };
            row(Refused, "connection refused", failed, s.refused);
            row(ResetMidBody, "connection reset mid-body", failed,
                s.step == Poll ? "加固失败" : "网络异常");
            row(Http500, "HTTP 500", failed, s.serverError);
            row(Http503, "HTTP 503", failed, s.serverError);
            row(InvalidJson, "invalid JSON", failed, s.badReply);
            row(WrongKind, "JSON of the wrong kind", failed, s.badReply);
            row(SlowCancelled, "slow body cancelled by the user", paused, "");
            // The connection closes before the announced length: a network error.
            row(Truncated, "truncated body", failed, s.step == Poll ? "加固失败" : "网络异常");
        }
    }
    void faultAtStep()
    {
        QFETCH(int, step);
        QFETCH(int, trouble);
        QFETCH(int, fileState);
        QFETCH(int, taskState);
        QFETCH(QString, text);
        auto task = newTask();
        auto next = newTask();
        QVERIFY(task && next);

        if (trouble == Refused) {
            if (step == Upload)
                mFixture.sim.stop();
            else
                mFixture.sim.refuseAfter(step == Reinforce ? Endpoint::Upload
                        : step == Poll                     ? Endpoint::Reinforce
                                                           : Endpoint::Status);
        } else {
            mFixture.sim.setFault(
                endpointOf(Step(step), Trouble(trouble)), faultOf(Trouble(trouble)));
        }
        if (step == Poll && trouble != Refused)
            mFixture.sim.setPollsUntilDone(1000);
        // The service behaves again once the task has ended, before the queue takes the next.
        const int port = mFixture.sim.port();
        QObject guard;
        connect(task.data(), &VaruApkInfo::sigApkTaskStateChanged, &guard, [this, port](int state) {
            if (state != VaruApkInfo::TaskFailed && state != VaruApkInfo::TaskPaused)
                return;
            mFixture.sim.clearFaults();
            mFixture.sim.setPollsUntilDone(0);
            mFixture.sim.start("127.0.0.1", port);
        });

        mFixture.sim.clearExchanges();
        QVERIFY(mQueue->add(task, true));
        QVERIFY(mQueue->add(next, true));
        if (trouble == SlowCancelled) {
            // The user pauses the task while the step's answer is still coming in.
            const std::string target = targetOf(Step(step));
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    for (const auto &exchange : mFixture.sim.exchanges())
                        if (exchange.target.rfind(target, 0) == 0)
                            return true;
                    return false;
                }(),
                60000);
            QVERIFY(mQueue->cancel(task->md5()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(VaruFixtures::settled(task), 60000);
        QCOMPARE(task->taskState(), taskState);
        QCOMPARE(task->fileState(), fileState);
        if (taskState == VaruApkInfo::TaskFailed)
            QCOMPARE(task->displayStateText(), text);
        QCOMPARE(outputsOf(task), QStringList()); // nothing half-made named as an output

        // The queue goes on: the next task runs through as if nothing had happened.
        QTRY_VERIFY_WITH_TIMEOUT(VaruFixtures::settled(next), 60000);
        QCOMPARE(next->taskState(), int(VaruApkInfo::TaskCompleted));
        QCOMPARE(next->fileState(), int(VaruApkInfo::FileDownloaded));
        verifyStored({task, next});
    }

    // Removing a task asks the service to delete its APK; however that exchange fails, the
    // request disposes of itself, the task is gone from the settings file and the others stay.
    void faultAtDelete_data()
    {
        QTest::addColumn<int>("trouble");
        QTest::newRow("connection refused") << int(Refused);
        QTest::newRow("connection reset mid-body") << int(ResetMidBody);
        QTest::newRow("HTTP 500") << int(Http500);
        QTest::newRow("HTTP 503") << int(Http503);
        QTest::newRow("invalid JSON") << int(InvalidJson);
        QTest::newRow("JSON of the wrong kind") << int(WrongKind);
        QTest::newRow("slow body") << int(SlowCancelled);
        QTest::newRow("truncated body") << int(Truncated);
    }
    void faultAtDelete()
    {
        QFETCH(int, trouble);
        auto gone = newTask();
        auto kept = newTask();
        QVERIFY(gone && kept);
        const int port = mFixture.sim.port();
        if (trouble == Refused)
            mFixture.sim.stop();
        else
            mFixture.sim.setFault(Endpoint::Delete, faultOf(Trouble(trouble)));

        VaruApkRecords *records = user()->apkRecords();
        int row = -1;
        for (int i = 0; i < records->rowCount(); ++i)
            if (records->recordAt(i)->md5() == gone->md5())
                row = i;
        QVERIFY(row >= 0);
        QVERIFY(records->takeRecordAt(row));
        mQueue->cancel(gone->md5());
        auto *remote = new VaruApkDelete(gone->md5()); // deletes itself
        remote->start();
        QTRY_COMPARE_WITH_TIMEOUT(VaruRequest::liveCount(), 0, 30000);

        mFixture.sim.clearFaults();
        if (trouble == Refused)
            QVERIFY(mFixture.sim.start("127.0.0.1", port) > 0);
        QVERIFY(mQueue->add(kept, true));
        QTRY_VERIFY_WITH_TIMEOUT(VaruFixtures::settled(kept), 60000);
        QCOMPARE(kept->taskState(), int(VaruApkInfo::TaskCompleted));
        verifyStored({kept});
        const QJsonObject stored = storedSettings();
        QVERIFY(!stored.isEmpty());
        for (const QJsonValue &value : stored)
            QVERIFY(!value.toString().contains(gone->md5()));
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
