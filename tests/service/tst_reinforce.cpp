#include "service/apkreinforce.h"
#include "service/apkscanner.h"
#include "service/apkuploader.h"
#include "tasks/apkinfo.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"

#include <QSignalSpy>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;
Q_DECLARE_METATYPE(VaruSimulator::Fault)

class TestReinforce : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QString mApk;
    VaruApkScanner *scanner() { return VaruApkScanner::instance(); }

    // Uploads the APK for real so that the simulator knows it; returns the record.
    QSharedPointer<VaruApkInfo> uploaded()
    {
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        uploader.setStatus(1);
        if (!uploader.start())
            return {};
        uploader.setStatus(2);
        QSignalSpy done(&uploader, &VaruRequest::sigRequestStatusChanged);
        done.wait(30000);
        return record->fileState() == VaruApkInfo::FileUploaded ? record
                                                                : QSharedPointer<VaruApkInfo>();
    }

    static int finish(VaruApkReinforce &request, int timeoutMs = 30000)
    {
        QSignalSpy status(&request, &VaruRequest::sigRequestStatusChanged);
        QElapsedTimer clock;
        clock.start();
        while (request.status() == VaruRequest::StatusRunning && clock.elapsed() < timeoutMs)
            status.wait(100);
        return request.status();
    }

    static bool startRunning(VaruApkReinforce &request, const QSharedPointer<VaruApkInfo> &record)
    {
        request.setApkInfo(record);
        request.setStatus(1);
        if (!request.start())
            return false;
        request.setStatus(2);
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mFixture.sim.setSignOutput(false);
        scanner()->setTickMillisecondsForTesting(50);
        mApk = VaruFixtures::makeApk(mFixture.home.path(), QStringLiteral("app.apk"));
        QVERIFY(!mApk.isEmpty());
    }
    void init()
    {
        mFixture.sim.clearFaults();
        mFixture.sim.setPollsUntilDone(2);
        mFixture.sim.setJiagu(1);
        mFixture.sim.setLowerCaseStatusMd5(false);
        VaruUserModel::instance()->setUseRovan(false);
        VaruUserModel::instance()->setUseWexly(false);
    }
    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(!scanner()->isBusy(), 10000); }

    void bodyFieldsInOrder_data()
    {
        QTest::addColumn<bool>("rovan");
        QTest::addColumn<bool>("wexly");
        QTest::newRow("options off") << false << false;
        QTest::newRow("options on") << true << true;
    }
    void bodyFieldsInOrder()
    {
        QFETCH(bool, rovan);
        QFETCH(bool, wexly);
        auto record = uploaded();
        QVERIFY(record);
        VaruUserModel::instance()->setUseRovan(rovan);
        VaruUserModel::instance()->setUseWexly(wexly);
        mFixture.sim.clearExchanges();
        VaruApkReinforce request;
        QVERIFY(startRunning(request, record));
        QCOMPARE(finish(request), 4);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileReinforced));

        const auto sent = mFixture.sim.exchanges().front();
        QCOMPARE(QString::fromStdString(sent.target), QStringLiteral("/data/serve"));
        QCOMPARE(QString::fromStdString(sent.cookieHeader), QStringLiteral("cookie"));
        QCOMPARE(QString::fromStdString(sent.contentType),
            QStringLiteral("application/x-www-form-urlencoded"));
        QList<QPair<QString, QString>> fields;
        for (const auto &f : sent.fields)
            fields << qMakePair(QString::fromStdString(f.first), QString::fromStdString(f.second));
        QList<QPair<QString, QString>> expected = {{"flag", "serveBox"}, {"jiagu", "1"}};
        if (rovan) // the two values cross over
            expected << qMakePair(QStringLiteral("rovan"), record->uploadAppName())
                     << qMakePair(QStringLiteral("appName"), record->uploadRovan());
        else
            expected << qMakePair(QStringLiteral("rovan"), QStringLiteral("0"));
        expected << qMakePair(QStringLiteral("wexly"), QString::fromLatin1(wexly ? "1" : "0"))
                 << qMakePair(QStringLiteral("md5"), record->md5());
        QCOMPARE(fields, expected);
        // The status polls carry the session cookie and the one form item.
        const auto polls = mFixture.sim.exchanges();
        QCOMPARE(QString::fromStdString(polls.back().target), QStringLiteral("/myapp/index"));
        QCOMPARE(QString::fromStdString(polls.back().fields.at(0).first), QStringLiteral("flag"));
        QCOMPARE(
            QString::fromStdString(polls.back().fields.at(0).second), QStringLiteral("ajaxData"));
    }

    void serviceAnswers_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("error");
        QTest::newRow("login") << Fault::Code << "\"login\"" << 117;
        QTest::newRow("register") << Fault::Code << "\"register\"" << 118;
        QTest::newRow("refused") << Fault::Code << "7" << 105;
        QTest::newRow("array") << Fault::JsonArray << "" << 4;
        QTest::newRow("invalid JSON") << Fault::InvalidJson << "" << 4;
        QTest::newRow("HTTP 503") << Fault::Http503 << "" << 2;
        QTest::newRow("dropped") << Fault::Drop << "" << 3;
    }
    void serviceAnswers()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, code);
        QFETCH(int, error);
        auto record = uploaded();
        QVERIFY(record);
        mFixture.sim.setFault(Endpoint::Reinforce, fault, code.toStdString());
        VaruApkReinforce request;
        QVERIFY(startRunning(request, record));
        QCOMPARE(finish(request), -1);
        QCOMPARE(request.errorCode(), error);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileUploaded));
        QVERIFY(!scanner()->waitingMd5s().contains(record->md5()));
    }

    // The scanner's verdicts as the hardening request sees them.
    void verdicts_data()
    {
        QTest::addColumn<int>("jiagu");
        QTest::addColumn<bool>("lowerCase");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("error");
        QTest::newRow("hardened") << 1 << false << 4 << 0;
        QTest::newRow("hardened, lower-case MD5 in the list") << 1 << true << 4 << 0;
        QTest::newRow("hardening failed") << 2 << false << -1 << 107;
    }
    void verdicts()
    {
        QFETCH(int, jiagu);
        QFETCH(bool, lowerCase);
        QFETCH(int, status);
        QFETCH(int, error);
        auto record = uploaded();
        QVERIFY(record);
        mFixture.sim.setJiagu(jiagu);
        mFixture.sim.setLowerCaseStatusMd5(lowerCase);
        VaruApkReinforce request;
        QSignalSpy results(scanner(), &VaruApkScanner::sigScanResult);
        QVERIFY(startRunning(request, record));
        QCOMPARE(finish(request), status);
        QCOMPARE(request.errorCode(), error);
        QVERIFY(results.count() >= 3); // two "still running" first
        QCOMPARE(results.first().at(1).toInt(), 1);
        QCOMPARE(results.last().at(0).toString(), record->md5());
    }

    void waitRunsOut()
    {
        auto record = uploaded();
        QVERIFY(record);
        mFixture.sim.setPollsUntilDone(1000000);
        VaruApkReinforce request;
        QVERIFY(startRunning(request, record));
        // 300 s in 5-second steps: the 60th tick ends the wait.
        QCOMPARE(finish(request, 60000), -1);
        QCOMPARE(request.errorCode(), 106);
        QCOMPARE(request.errorString(), QStringLiteral("等待加固超时"));
    }

    void resultsForOthersIgnored()
    {
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileUploaded);
        VaruApkReinforce request;
        request.setApkInfo(record);
        request.setStatus(2);
        emit scanner()->sigScanResult(QStringLiteral("0000"), VaruApkScanner::ScanSucceeded);
        emit scanner()->sigScanResult(record->md5(), VaruApkScanner::ScanRunning);
        QCOMPARE(request.status(), 2);
        emit scanner()->sigScanResult(record->md5().toLower(), VaruApkScanner::ScanTimeout);
        QCOMPARE(request.status(), -1);
        QCOMPARE(request.errorCode(), 106);
    }

    // Cancelling while waiting stops the polling for that APK; no verdict reaches it.
    void cancelWhileWaiting()
    {
        auto record = uploaded();
        QVERIFY(record);
        mFixture.sim.setPollsUntilDone(1000000);
        VaruApkReinforce request;
        QVERIFY(startRunning(request, record));
        QTRY_VERIFY_WITH_TIMEOUT(scanner()->waitingMd5s().contains(record->md5()), 10000);
        request.cancel();
        QCOMPARE(request.status(), 3);
        QVERIFY(!scanner()->waitingMd5s().contains(record->md5()));
        emit scanner()->sigScanResult(record->md5(), VaruApkScanner::ScanSucceeded);
        QCOMPARE(request.status(), 3);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileUploaded));
    }
};

QTEST_GUILESS_MAIN(TestReinforce)
#include "tst_reinforce.moc"
