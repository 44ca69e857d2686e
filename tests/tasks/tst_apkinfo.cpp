#include "core/usermodel.h"
#include "platform/os/toolpaths.h"
#include "tasks/apkinfo.h"
#include "tests/fixtures/fixtures.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonObject storedForm(const QJsonObject &extra = QJsonObject())
{
    QJsonObject object{{QStringLiteral("edition"), QStringLiteral("2.0")},
        {QStringLiteral("fileName"), QStringLiteral("app.apk")},
        {QStringLiteral("filePath"), QStringLiteral("/apks/app.apk")},
        {QStringLiteral("fileSize"), 2048},
        {QStringLiteral("md5"), QStringLiteral("0123456789ABCDEF0123456789ABCDEF")},
        {QStringLiteral("packageName"), QStringLiteral("com.example")},
        {QStringLiteral("time"), 1700000000000.0}};
    for (auto it = extra.begin(); it != extra.end(); ++it) {
        if (it.value().isNull())
            object.remove(it.key());
        else
            object.insert(it.key(), it.value());
    }
    return object;
}

} // namespace

class TestApkInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QTemporaryDir mDir;

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        VaruUserModel::instance()->login(QStringLiteral("10001"), QStringLiteral("key"));
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "-";
        QTest::newRow("1") << qint64(1) << "1B";
        QTest::newRow("1023") << qint64(1023) << "1023B";
        QTest::newRow("1024") << qint64(1024) << "1.00K";
        QTest::newRow("1536") << qint64(1536) << "1.50K";
        QTest::newRow("1048575") << qint64(1048575) << "1024.00K";
        QTest::newRow("1048576") << qint64(1048576) << "1.00M";
        QTest::newRow("1073741823") << qint64(1073741823) << "1024.00M";
        QTest::newRow("1073741824") << qint64(1073741824) << "1073741824B";
    }
    void sizeText()
    {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        VaruApkInfo info(storedForm({{QStringLiteral("fileSize"), double(size)}}));
        if (size > 0)
            QCOMPARE(info.fileSize(), size);
        QCOMPARE(info.sizeText(), text);
    }

    void timeTexts()
    {
        VaruApkInfo restored(storedForm());
        QCOMPARE(restored.time(), 1700000000000LL);
        QCOMPARE(restored.timeText(),
            QDateTime::fromMSecsSinceEpoch(1700000000000LL)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        VaruApkInfo empty(QJsonObject{});
        QCOMPARE(empty.time(), 0);
        QCOMPARE(empty.timeText(), QStringLiteral("-"));
        QCOMPARE(empty.sizeText(), QStringLiteral("-"));
    }

    void statusText_data()
    {
        QTest::addColumn<int>("fileState");
        QTest::addColumn<int>("taskState");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<QString>("text");
        QTest::newRow("waiting idle") << 1 << 0 << false << "文件待加固";
        QTest::newRow("uploaded idle") << 10 << 0 << false << "文件已上传";
        QTest::newRow("reinforced idle") << 20 << 0 << false << "文件已加固";
        QTest::newRow("downloaded idle") << 30 << 0 << false << "文件已下载";
        QTest::newRow("completed idle") << 40 << 0 << false << "任务已完成";
        QTest::newRow("none idle") << 0 << 0 << false << "";
        QTest::newRow("queued") << 20 << 1 << false << "排队中...";
        QTest::newRow("queued, no file") << 0 << 1 << false << "排队中...";
        QTest::newRow("uploading") << 1 << 2 << false << "文件上传中...";
        QTest::newRow("reinforce failed") << 10 << -1 << false << "文件加固失败";
        QTest::newRow("download paused") << 20 << 3 << false << "文件下载已暂停";
        QTest::newRow("downloaded running, auto on") << 30 << 2 << true << "签名打包中...";
        QTest::newRow("downloaded running, auto off") << 30 << 2 << false << "文件下载中...";
        QTest::newRow("downloaded done, auto on") << 30 << 4 << true << "文件下载已完成";
        QTest::newRow("downloaded done, auto off") << 30 << 4 << false << "文件下载已完成";
        QTest::newRow("sign and pack done") << 40 << 4 << false << "签名打包已完成";
        QTest::newRow("no step") << 0 << 2 << false << "";
    }
    void statusText()
    {
        QFETCH(int, fileState);
        QFETCH(int, taskState);
        QFETCH(bool, autoOn);
        QFETCH(QString, text);
        VaruUserModel::instance()->setAutoSign(autoOn);
        VaruApkInfo info(storedForm({{QStringLiteral("status"), fileState}}));
        QCOMPARE(info.fileState(), fileState);
        info.setTaskState(taskState);
        QCOMPARE(info.displayStateText(), text);
        // A caller's text stands in for the computed one.
        info.setTaskState(taskState, QStringLiteral("上传 10%"));
        QCOMPARE(info.displayStateText(), QStringLiteral("上传 10%"));
        VaruUserModel::instance()->setAutoSign(false);
    }

    void taskStateRules()
    {
        VaruApkInfo info(storedForm({{QStringLiteral("status"), 1}}));
        QSignalSpy changed(&info, &VaruApkInfo::sigApkTaskStateChanged);
        info.setTaskState(VaruApkInfo::TaskRunning, QStringLiteral("a"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last(), (QList<QVariant>{2, 0, 1}));
        // The same state again only replaces the text.
        info.setTaskState(VaruApkInfo::TaskRunning, QStringLiteral("b"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(info.stateText(), QStringLiteral("b"));
        // A finished step: the task becomes completed and its text is cleared, silently.
        info.setFileState(VaruApkInfo::FileUploaded);
        QCOMPARE(info.taskState(), int(VaruApkInfo::TaskCompleted));
        QCOMPARE(info.stateText(), QString());
        QCOMPARE(changed.count(), 1);
        // Queuing a completed task changes nothing.
        info.setTaskState(VaruApkInfo::TaskQueued);
        QCOMPARE(info.taskState(), int(VaruApkInfo::TaskCompleted));
        QCOMPARE(changed.count(), 1);
        info.setTaskState(VaruApkInfo::TaskFailed, QStringLiteral("x"));
        QCOMPARE(changed.last(), (QList<QVariant>{-1, 4, 10}));
        info.setTaskState(VaruApkInfo::TaskQueued);
        QCOMPARE(info.taskState(), int(VaruApkInfo::TaskQueued));
    }

    void storedFormRoundTrip()
    {
        const QString reinforced = mDir.filePath(QStringLiteral("app_varu.apk"));
        QFile file(reinforced);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        VaruApkInfo info(storedForm(
            {{QStringLiteral("status"), 30}, {QStringLiteral("reinforcedFilePath"), reinforced}}));
        QString json;
        QVERIFY(info.toJson(json));
        QCOMPARE(json,
            QStringLiteral(
                "{\"edition\":\"2.0\",\"fileName\":\"app.apk\",\"filePath\":\"/apks/app.apk\","
                "\"fileSize\":2048,\"md5\":\"0123456789ABCDEF0123456789ABCDEF\","
                "\"packageName\":\"com.example\",\"reinforcedFilePath\":\"%1\","
                "\"status\":30,\"time\":1700000000000}")
                .arg(reinforced));
        VaruApkInfo again(QJsonDocument::fromJson(json.toUtf8()).object());
        QString jsonAgain;
        QVERIFY(again.toJson(jsonAgain));
        QCOMPARE(jsonAgain, json);
        QCOMPARE(again.taskState(), 0);
    }

    void olderStoredForms_data()
    {
        QTest::addColumn<QJsonObject>("extra");
        QTest::addColumn<int>("fileState");
        QTest::newRow("status wins")
            << QJsonObject{{"status", 40}, {"state", 0}, {"jiagu", 1}} << 40;
        QTest::newRow("state text 0, jiagu 1") << QJsonObject{{"state", "0"}, {"jiagu", 1}} << 20;
        QTest::newRow("state 0, jiagu text 1") << QJsonObject{{"state", 0}, {"jiagu", "1"}} << 20;
        QTest::newRow("jiagu 2") << QJsonObject{{"state", 0}, {"jiagu", 2}} << 10;
        QTest::newRow("state 1") << QJsonObject{{"state", 1}, {"jiagu", 1}} << 10;
        QTest::newRow("neither") << QJsonObject{} << 10;
    }
    void olderStoredForms()
    {
        QFETCH(QJsonObject, extra);
        QFETCH(int, fileState);
        VaruApkInfo info(storedForm(extra));
        QCOMPARE(info.fileState(), fileState);
    }

    void incompleteStoredFormIsEmpty()
    {
        VaruApkInfo info(storedForm(
            {{QStringLiteral("md5"), QJsonValue::Null}, {QStringLiteral("status"), 20}}));
        QCOMPARE(info.fileState(), 0);
        QCOMPARE(info.packageName(), QString());
        QString out = QStringLiteral("untouched");
        QVERIFY(!info.toJson(out));
        QCOMPARE(out, QStringLiteral("untouched"));
    }

    void reinforcedPathNeedsAFile()
    {
        VaruApkInfo info(
            storedForm({{QStringLiteral("reinforcedFilePath"), QStringLiteral("/old.apk")}}));
        info.setReinforcedFilePath(QString());
        info.setReinforcedFilePath(mDir.filePath(QStringLiteral("missing.apk")));
        QCOMPARE(info.reinforcedFilePath(), QStringLiteral("/old.apk"));
        QFile file(mDir.filePath(QStringLiteral("there.apk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        info.setReinforcedFilePath(file.fileName());
        QCOMPARE(info.reinforcedFilePath(), file.fileName());
    }

    void readFromFile()
    {
        const QString apk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("game.apk"));
        QVERIFY(!apk.isEmpty());
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        VaruApkInfo info(apk);
        QSignalSpy done(&info, &VaruApkInfo::sigApkParseResult);
        QVERIFY(done.wait(30000));
        QCOMPARE(done.first(), (QList<QVariant>{apk, 0, QString()}));
        QCOMPARE(info.fileState(), int(VaruApkInfo::FileWaiting));
        QCOMPARE(info.taskState(), 0);
        QCOMPARE(info.md5(), VaruFixtures::md5sum(apk));
        QCOMPARE(info.packageName(), QStringLiteral("com.example.app"));
        QCOMPARE(info.edition(), QStringLiteral("1.2"));
        QCOMPARE(info.fileName(), QStringLiteral("game.apk"));
        QVERIFY(info.time() >= before && info.time() <= QDateTime::currentMSecsSinceEpoch());
        QCOMPARE(info.displayStateText(), QStringLiteral("文件待加固"));
    }

    void readRefusedAtOnce_data()
    {
        QTest::addColumn<bool>("toolMissing");
        QTest::addColumn<int>("code");
        QTest::newRow("missing file") << false << -1;
        QTest::newRow("missing reader") << true << -2;
    }
    void readRefusedAtOnce()
    {
        QFETCH(bool, toolMissing);
        QFETCH(int, code);
        QTemporaryDir empty;
        QString apk = mDir.filePath(QStringLiteral("nothing-here.apk"));
        if (toolMissing) {
            apk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("other.apk"));
            VaruOs::setToolBaseForTesting(empty.path());
        }
        VaruApkInfo info(apk);
        VaruOs::setToolBaseForTesting(QString());
        int error = 0;
        QString tip;
        info.errorInfo(error, tip);
        QCOMPARE(error, code);
        QVERIFY(!tip.isEmpty());
        QCOMPARE(info.fileState(), 0);
    }
};

QTEST_GUILESS_MAIN(TestApkInfo)
#include "tst_apkinfo.moc"
