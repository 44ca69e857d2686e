#include "service/apkscanner.h"
#include "tests/fixtures/simfixture.h"

#include <QSignalSpy>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;

class TestScanner : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QString mApk;
    VaruApkScanner *scanner() { return VaruApkScanner::instance(); }

    int statusPolls() const
    {
        int polls = 0;
        for (const auto &exchange : mFixture.sim.exchanges())
            polls += exchange.target == "/myapp/index";
        return polls;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mFixture.sim.setSignOutput(false);
        scanner()->setTickMillisecondsForTesting(100);
        mApk = VaruFixtures::makeApk(mFixture.home.path(), QStringLiteral("app.apk"));
        QVERIFY(!mApk.isEmpty());
    }
    void init()
    {
        mFixture.sim.clearFaults();
        mFixture.sim.clearExchanges();
    }
    void cleanup()
    {
        for (const QString &md5 : scanner()->waitingMd5s())
            scanner()->removeWaiting(md5);
        QTRY_VERIFY_WITH_TIMEOUT(!scanner()->isBusy(), 10000);
    }

    void registering()
    {
        QVERIFY(!scanner()->waitForReinforce(QString(), 300));
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("AAAA"), 300));
        QVERIFY(scanner()->isBusy());
        QVERIFY(!scanner()->waitForReinforce(QStringLiteral("AAAA"), 300));
        VaruUserModel::instance()->logout();
        QVERIFY(!scanner()->waitForReinforce(QStringLiteral("BBBB"), 300));
        VaruUserModel::instance()->login(QStringLiteral("10086"), QStringLiteral("@session"));
    }

    // At most one wait ends per tick; the entries after it are not counted down then.
    void oneExpiryPerTick()
    {
        QSignalSpy results(scanner(), &VaruApkScanner::sigScanResult);
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("AAAA"), 5));
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("BBBB"), 5));
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 1, 10000);
        QCOMPARE(results.at(0), (QList<QVariant>{QStringLiteral("AAAA"), 0}));
        QCOMPARE(scanner()->waitingMd5s(), QStringList{QStringLiteral("BBBB")});
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 2, 10000);
        QCOMPARE(results.at(1), (QList<QVariant>{QStringLiteral("BBBB"), 0}));
    }

    // Three failed polls, even with good ones between them, fail every waiting APK.
    void givesUpAfterThreeFailedPolls()
    {
        QSignalSpy results(scanner(), &VaruApkScanner::sigScanResult);
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("AAAA"), 300));
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("CCCC"), 300));
        for (int failure = 0; failure < 3; ++failure) {
            mFixture.sim.setFault(
                Endpoint::Status, failure == 1 ? Fault::InvalidJson : Fault::Http500);
            const int before = statusPolls();
            QTRY_VERIFY_WITH_TIMEOUT(statusPolls() > before, 10000);
            mFixture.sim.clearFaults();
            if (failure < 2) {
                const int good = statusPolls();
                QTRY_VERIFY_WITH_TIMEOUT(statusPolls() > good, 10000);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(results.count(), 2, 10000);
        QCOMPARE(results.at(0), (QList<QVariant>{QStringLiteral("AAAA"), -1}));
        QCOMPARE(results.at(1), (QList<QVariant>{QStringLiteral("CCCC"), -1}));
        QVERIFY(scanner()->waitingMd5s().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!scanner()->isBusy(), 10000);
    }

    // Only the first element that matches a waiting APK is acted on in one poll.
    void oneVerdictPerPoll()
    {
        const QString first = QStringLiteral("11111111111111111111111111111111");
        const QString second = QStringLiteral("22222222222222222222222222222222");
        QVERIFY(mFixture.sim.addHardenedJob(first.toStdString(), mApk.toStdString()));
        QVERIFY(mFixture.sim.addHardenedJob(second.toStdString(), mApk.toStdString()));
        // Each verdict is given with the other APK still waiting: one per poll.
        QList<int> stillWaiting;
        QStringList order;
        auto connection = connect(
            scanner(), &VaruApkScanner::sigScanResult, this, [&](const QString &md5, int result) {
                QCOMPARE(result, 2);
                order << md5;
                stillWaiting << scanner()->waitingMd5s().size();
            });
        QVERIFY(scanner()->waitForReinforce(second, 300));
        QVERIFY(scanner()->waitForReinforce(first, 300));
        QTRY_COMPARE_WITH_TIMEOUT(order.size(), 2, 10000);
        disconnect(connection);
        QCOMPARE(stillWaiting, (QList<int>{1, 0}));
        QCOMPARE(order, (QStringList{first, second})); // the list's order, not the order of waiting
    }

    void removalStopsPolling()
    {
        QVERIFY(scanner()->waitForReinforce(QStringLiteral("DDDD"), 300));
        QTRY_VERIFY_WITH_TIMEOUT(statusPolls() >= 2, 10000);
        scanner()->removeWaiting(QStringLiteral("DDDD"));
        QTRY_VERIFY_WITH_TIMEOUT(!scanner()->isBusy(), 10000);
        const int polls = statusPolls();
        QTest::qWait(400); // four ticks' worth: none may poll
        QCOMPARE(statusPolls(), polls);
    }
};

QTEST_GUILESS_MAIN(TestScanner)
#include "tst_scanner.moc"
