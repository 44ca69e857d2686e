#include "service/apkdelete.h"
#include "tests/fixtures/simfixture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;
Q_DECLARE_METATYPE(VaruSimulator::Fault)

class TestDelete : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;

private slots:
    void initTestCase() { QVERIFY(mFixture.start()); }
    void init() { mFixture.sim.clearExchanges(); }

    void sendsTwoPartsAndGoes_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("success") << Fault::None;
        QTest::newRow("error page") << Fault::Http500;
        QTest::newRow("no answer") << Fault::Drop;
    }
    void sendsTwoPartsAndGoes()
    {
        QFETCH(Fault, fault);
        mFixture.sim.clearFaults();
        mFixture.sim.setFault(Endpoint::Delete, fault);
        QPointer<VaruApkDelete> request = new VaruApkDelete(QStringLiteral("ABCDEF0123"));
        QCOMPARE(request->status(), 1);
        QVERIFY(request->start());
        QTRY_VERIFY_WITH_TIMEOUT(request.isNull(), 30000);
        const auto sent = mFixture.sim.exchanges().at(0);
        QCOMPARE(QString::fromStdString(sent.target), QStringLiteral("/data/serve"));
        QCOMPARE(QString::fromStdString(sent.cookieHeader), QStringLiteral("Cookie"));
        QCOMPARE(sent.partHeaders.size(), size_t(2));
        QCOMPARE(QString::fromStdString(sent.partHeaders[0]),
            QStringLiteral("Content-Disposition: form-data; name=\"flag\""));
        QCOMPARE(QString::fromStdString(sent.partHeaders[1]),
            QStringLiteral("Content-Disposition: form-data; name=\"md5\""));
        QCOMPARE(QString::fromStdString(sent.fields[0].second), QStringLiteral("appDel"));
        QCOMPARE(QString::fromStdString(sent.fields[1].second), QStringLiteral("ABCDEF0123"));
    }

    // A delete that cannot start disposes of itself too.
    void signedOutSendsNothing()
    {
        VaruUserModel::instance()->logout();
        QPointer<VaruApkDelete> request = new VaruApkDelete(QStringLiteral("ABCDEF0123"));
        QVERIFY(!request->start());
        QCOMPARE(request->errorCode(), 100);
        QTRY_VERIFY_WITH_TIMEOUT(request.isNull(), 5000);
        QVERIFY(mFixture.sim.exchanges().empty());
        VaruUserModel::instance()->login(QStringLiteral("10086"), QStringLiteral("@session"));
    }
};

QTEST_GUILESS_MAIN(TestDelete)
#include "tst_delete.moc"
