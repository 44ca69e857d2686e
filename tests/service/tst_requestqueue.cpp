#include "service/apkscanner.h"
#include "service/request.h"
#include "service/requestqueue.h"
#include "service/serviceurl.h"
#include "tasks/apkinfo.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;

namespace {

// Receives the URLs that the client hands to the desktop's web browser.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// Presses a button of the next modal message box, as a user would.
void answerNextBox(QMessageBox::StandardButton button, QString *text)
{
    QTimer *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, button, text] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        *text = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(button)->click();
        timer->deleteLater();
    });
    timer->start(20);
}

} // namespace

class TestRequestQueue : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QString mKeystore;
    QObject mOwner;
    VaruRequestQueue *mQueue = nullptr;
    UrlSink mUrls;
    int mApkCount = 0;
    VaruUserModel *user() { return VaruUserModel::instance(); }

    // A new APK of its own (its own MD5) read as a task waiting to be hardened.
    QSharedPointer<VaruApkInfo> newTask(qint64 assetSize = 0)
    {
        VaruFixtures::ApkSpec shape;
        shape.versionName = QStringLiteral("1.%1").arg(++mApkCount);
        shape.assetSize = assetSize;
        shape.randomAsset = assetSize > 0;
        shape.storeAsset = assetSize > 0;
        const QString apk = VaruFixtures::makeApk(
            mFixture.home.path(), QStringLiteral("game%1.apk").arg(mApkCount), shape);
        return apk.isEmpty() ? QSharedPointer<VaruApkInfo>()
                             : VaruFixtures::recordForFile(apk, VaruApkInfo::FileWaiting);
    }
    QStringList outputFiles() const
    {
        return QDir(mFixture.outputDir).entryList(QDir::Files, QDir::Name);
    }
    void setModes(bool sign, bool pack)
    {
        user()->setAutoSign(sign);
        user()->setAutoPack(pack);
        user()->setKeyStorePath(mKeystore);
        user()->setKeyStorePassword(QStringLiteral("storepass1"));
        user()->setKeyStoreAlias(QStringLiteral("release"));
        user()->setKeyStoreAliasPassword(QStringLiteral("keypass1"));
        user()->setAndroidName(QStringLiteral("UMENG_CHANNEL"));
        user()->setPackParams(QStringLiteral("oppo;huawei;"));
    }
    void signInAgain()
    {
        if (!user()->isLoggedIn()) {
            user()->login(QStringLiteral("10086"), QStringLiteral("@session"));
            user()->setOutputDir(mFixture.outputDir);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        VaruApkScanner::instance()->setTickMillisecondsForTesting(50);
        mKeystore = VaruFixtures::makeKeystore(mFixture.home.filePath(QStringLiteral("k.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")}});
        QVERIFY(!mKeystore.isEmpty());
        mQueue = new VaruRequestQueue(&mOwner);
        // As the hardening page does: a sign-out stops the queue.
        connect(user(), &VaruUserModel::sigUserStateChanged, mQueue,
            [this](VaruUserModel *, bool enter) {
                if (!enter)
                    mQueue->stopAll();
            });
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &mUrls, "open");
    }
    void init()
    {
        signInAgain();
        mFixture.sim.clearFaults();
        mFixture.sim.setJiagu(1);
        mFixture.sim.setPollsUntilDone(2);
        mFixture.sim.clearExchanges();
        setModes(false, false);
        for (const QString &name : outputFiles())
            QFile::remove(QDir(mFixture.outputDir).filePath(name));
    }
    void cleanup()
    {
        mQueue->stopAll();
        QTRY_COMPARE_WITH_TIMEOUT(VaruRequest::liveCount(), 0, 30000);
    }

    // From FileWaiting to the end, as the settings say, checked by the real tools.
    void endToEnd_data()
    {
        QTest::addColumn<bool>("sign");
        QTest::addColumn<bool>("pack");
        QTest::addColumn<int>("fileState");
        QTest::addColumn<QStringList>("suffixes");
        QTest::newRow("neither") << false << false << 30 << QStringList{"_varu.apk"};
        QTest::newRow("sign") << true << false << 40
                              << QStringList{"_varu.apk", "_varu_signed_zipalign.apk"};
        QTest::newRow("pack") << false << true << 40
                              << QStringList{"_varu.apk", "_varu_huawei.apk", "_varu_oppo.apk"};
        QTest::newRow("pack and sign")
            << true << true << 40
            << QStringList{"_varu.apk", "_varu_huawei_signed_zipalign.apk",
                   "_varu_oppo_signed_zipalign.apk"};
    }
    void endToEnd()
    {
        QFETCH(bool, sign);
        QFETCH(bool, pack);
        QFETCH(int, fileState);
        QFETCH(QStringList, suffixes);
        setModes(sign, pack);
        auto task = newTask();
        QVERIFY(task);
        QVERIFY(mQueue->add(task, true));
        QTRY_VERIFY_WITH_TIMEOUT(VaruFixtures::settled(task), 180000);
        QCOMPARE(task->taskState(), int(VaruApkInfo::TaskCompleted));
        QCOMPARE(task->fileState(), fileState);
        QCOMPARE(task->displayStateText(),
            fileState == 40 ? QStringLiteral("签名打包已完成") : QStringLiteral("文件下载已完成"));
        const QString base = QFileInfo(task->filePath()).completeBaseName();
        QStringList expected;
        for (const QString &suffix : suffixes)
            expected << base + suffix;
        expected.sort();
        QCOMPARE(outputFiles(), expected);
        for (const QString &name : expected) {
            const QString path = QDir(mFixture.outputDir).filePath(name);
            if (name.contains(QLatin1String("_signed_zipalign"))) {
                const QStringList signers = VaruFixtures::verifiedSigners(path);
                QCOMPARE(signers.size(), 1);
                QVERIFY(signers.first().contains(QLatin1String("CN=Varu Test")));
            }
            for (const QString &channel : {QStringLiteral("huawei"), QStringLiteral("oppo")}) {
                if (name.contains(channel)) {
                    const QString dump = VaruFixtures::run(
                        QStringLiteral("aapt"), {"dump", "--include-meta-data", "badging", path});
                    QVERIFY(
                        dump.contains("meta-data: name='UMENG_CHANNEL' value='" + channel + "'"));
                }
            }
        }
        QCOMPARE(mQueue->runningCount() + mQueue->pendingCount(), 0);
    }

    // The first task's next step goes ahead of the second task's upload.
    void nextStepGoesFirst()
    {
        auto first = newTask();
        auto second = newTask();
        QVERIFY(mQueue->add(first, true));
        QVERIFY(mQueue->add(second, true));
        QVERIFY(!mQueue->add(first, true)); // already queued
        QVERIFY(!mQueue->add(second, false));
        QCOMPARE(second->taskState(), int(VaruApkInfo::TaskQueued));
        QTRY_VERIFY_WITH_TIMEOUT(
            VaruFixtures::settled(first) && VaruFixtures::settled(second), 120000);
        QCOMPARE(first->fileState(), 30);
        QCOMPARE(second->fileState(), 30);
        QStringList order;
        for (const auto &exchange : mFixture.sim.exchanges()) {
            if (exchange.target == "/data/upload" || exchange.target == "/data/serve")
                order << QString::fromStdString(exchange.target) + QLatin1Char(' ')
                        + QString::fromStdString(exchange.fileMd5.empty()
                                ? exchange.fields.back().second
                                : exchange.fileMd5);
        }
        QCOMPARE(order,
            (QStringList{"/data/upload " + first->md5(), "/data/serve " + first->md5(),
                "/data/upload " + second->md5(), "/data/serve " + second->md5()}));
    }

    void nothingToDo()
    {
        auto done = VaruFixtures::makeRecord(QStringLiteral("AAAA"), 1);
        done->setFileState(VaruApkInfo::FileCompleted);
        QVERIFY(!mQueue->add(done, true));
        QVERIFY(!mQueue->add(VaruFixtures::makeRecord(QString(), 1), true)); // fileState 0
        QVERIFY(!mQueue->add({}, true));
        QVERIFY(!mQueue->cancel(QString()));
        QVERIFY(!mQueue->cancel(QStringLiteral("NOPE")));
    }

    // Pausing the running upload marks the task paused and starts the next one; a pending
    // request cancelled is passed over and a new one may be added for the same task.
    void cancelRunningAndPending()
    {
        auto big = newTask(60 * 1024 * 1024);
        auto next = newTask();
        auto third = newTask();
        QVERIFY(mQueue->add(big, true));
        QVERIFY(mQueue->add(next, true));
        QVERIFY(mQueue->add(third, true));
        QVERIFY(mQueue->cancel(third->md5())); // pending: only its status changes
        QCOMPARE(third->taskState(), int(VaruApkInfo::TaskQueued));
        QVERIFY(mQueue->add(third, true)); // the cancelled one is passed over
        QTRY_VERIFY_WITH_TIMEOUT(big->stateText().startsWith(QStringLiteral("上传中")), 30000);
        QVERIFY(mQueue->cancel(big->md5()));
        QCOMPARE(big->taskState(), int(VaruApkInfo::TaskPaused));
        QCOMPARE(big->fileState(), 1);
        QCOMPARE(next->taskState(), int(VaruApkInfo::TaskRunning));
        QTRY_VERIFY_WITH_TIMEOUT(
            VaruFixtures::settled(next) && VaruFixtures::settled(third), 120000);
        QCOMPARE(next->taskState(), 4);
        QCOMPARE(third->taskState(), 4);
        QCOMPARE(big->taskState(), 3);
    }

    void failureAtEachStep_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("fileState");
        QTest::addColumn<QString>("message");
        QTest::newRow("upload") << 0 << 1 << "无法连接服务器";
        QTest::newRow("hardening request") << 1 << 10 << "请求加固失败";
        QTest::newRow("hardening") << 2 << 10 << "加固失败";
        QTest::newRow("download") << 3 << 20 << "文件下载失败";
        QTest::newRow("signing") << 4 << 30 << "签名打包失败，别名密码错误";
    }
    void failureAtEachStep()
    {
        QFETCH(int, step);
        QFETCH(int, fileState);
        QFETCH(QString, message);
        switch (step) {
        case 0:
            mFixture.sim.setFault(Endpoint::Upload, Fault::Http503);
            break;
        case 1:
            mFixture.sim.setFault(Endpoint::Reinforce, Fault::Code, "7");
            break;
        case 2:
            mFixture.sim.setJiagu(2);
            break;
        case 3:
            mFixture.sim.setFault(Endpoint::Download, Fault::NoRedirect);
            break;
        default:
            setModes(true, false);
            user()->setKeyStoreAliasPassword(QStringLiteral("wrongpass"));
        }
        auto task = newTask();
        auto after = newTask();
        QVERIFY(mQueue->add(task, true));
        QVERIFY(mQueue->add(after, true));
        QTRY_VERIFY_WITH_TIMEOUT(VaruFixtures::settled(task), 120000);
        QCOMPARE(task->taskState(), int(VaruApkInfo::TaskFailed));
        QCOMPARE(task->fileState(), fileState);
        QCOMPARE(task->displayStateText(), message);
        QTRY_VERIFY_WITH_TIMEOUT(
            after->taskState() != VaruApkInfo::TaskQueued, 30000); // the queue goes on
    }

    void sessionExpiredSignsOut()
    {
        mFixture.sim.setFault(Endpoint::Upload, Fault::Code, "\"login\"");
        auto task = newTask();
        QString box;
        answerNextBox(QMessageBox::Ok, &box);
        QVERIFY(mQueue->add(task, true));
        QTRY_VERIFY_WITH_TIMEOUT(!user()->isLoggedIn(), 30000);
        QCOMPARE(box, QStringLiteral("Varu|操作已过期，请重新登录。"));
        QCOMPARE(task->taskState(), int(VaruApkInfo::TaskFailed));
        QCOMPARE(task->displayStateText(), QStringLiteral("登录态失效"));
    }

    void notRegistered_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void notRegistered()
    {
        QFETCH(bool, yes);
        mUrls.urls.clear();
        mFixture.sim.setFault(Endpoint::Reinforce, Fault::Code, "\"register\"");
        auto task = newTask();
        QString box;
        answerNextBox(yes ? QMessageBox::Yes : QMessageBox::No, &box);
        QVERIFY(mQueue->add(task, true));
        QTRY_VERIFY_WITH_TIMEOUT(!user()->isLoggedIn(), 30000);
        QCOMPARE(box, QStringLiteral("Varu|未注册Kestrin云账户,前往注册？"));
        if (yes) {
            QCOMPARE(mUrls.urls.size(), 1);
            QCOMPARE(mUrls.urls.first().path(), QStringLiteral("/developerCenter/registUser.php"));
            QCOMPARE(mUrls.urls.first().scheme(), QStringLiteral("http"));
        } else {
            QVERIFY(mUrls.urls.isEmpty());
        }
    }

    // Sign-out with tasks running and waiting leaves nothing running and no request alive.
    void stopAllAtSignOut()
    {
        mFixture.sim.setPollsUntilDone(1000000);
        auto first = newTask();
        auto second = newTask();
        QVERIFY(mQueue->add(first, true));
        QVERIFY(mQueue->add(second, true));
        QTRY_COMPARE_WITH_TIMEOUT(first->fileState(), 10, 30000); // now waiting for hardening
        QVERIFY(VaruRequest::liveCount() >= 2);
        user()->logout();
        QCOMPARE(mQueue->runningCount(), 0);
        QCOMPARE(mQueue->pendingCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(VaruRequest::liveCount(), 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!VaruApkScanner::instance()->isBusy(), 10000);
    }

    void signAndPackSettingsIncomplete()
    {
        // Pack only without channels: 122 at once.
        setModes(false, true);
        user()->setPackParams(QString());
        auto pack = VaruFixtures::makeRecord(QStringLiteral("PACK"), 1);
        pack->setFileState(VaruApkInfo::FileDownloaded);
        QFile downloaded(QDir(mFixture.outputDir).filePath(QStringLiteral("x_varu.apk")));
        QVERIFY(downloaded.open(QIODevice::WriteOnly));
        downloaded.close();
        pack->setReinforcedFilePath(downloaded.fileName());
        QVERIFY(mQueue->add(pack, true));
        QCOMPARE(pack->taskState(), int(VaruApkInfo::TaskFailed));
        QCOMPARE(pack->displayStateText(), QStringLiteral("签名打包失败，渠道信息配置错误"));

        // Sign only without a key password: dropped without a message; the text stays.
        setModes(true, false);
        user()->setKeyStoreAliasPassword(QString());
        auto sign = VaruFixtures::makeRecord(QStringLiteral("SIGN"), 1);
        sign->setFileState(VaruApkInfo::FileDownloaded);
        sign->setReinforcedFilePath(downloaded.fileName());
        sign->setTaskState(VaruApkInfo::TaskCompleted, QStringLiteral("earlier text"));
        QVERIFY(mQueue->add(sign, true));
        QCOMPARE(sign->stateText(), QStringLiteral("earlier text"));
        QCOMPARE(sign->taskState(), int(VaruApkInfo::TaskCompleted));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestRequestQueue test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_requestqueue.moc"
