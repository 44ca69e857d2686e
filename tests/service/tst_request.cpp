#include "core/usermodel.h"
#include "service/request.h"
#include "tests/fixtures/fixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A step that sends nothing.
class IdleRequest : public VaruRequest
{
public:
    IdleRequest() { mPath = QStringLiteral("/idle"); }
    int requests = 0;

protected:
    void doRequest() override { ++requests; }
};
} // namespace

class TestRequest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;

private slots:
    void initTestCase() { VaruFixtures::isolateUserFolders(mHome); }
    void cleanup() { VaruUserModel::instance()->logout(); }

    void signalsOnlyOnChange()
    {
        IdleRequest request;
        QSignalSpy status(&request, &VaruRequest::sigRequestStatusChanged);
        QSignalSpy code(&request, &VaruRequest::sigRequestErrorCodeChanged);
        request.setStatus(0);
        request.setErrorCode(0);
        QCOMPARE(status.count() + code.count(), 0);
        request.setStatus(1);
        request.setErrorCode(105);
        QCOMPARE(status.takeFirst(), (QList<QVariant>{request.seq(), 1, 0}));
        QCOMPARE(code.takeFirst(), (QList<QVariant>{request.seq(), 105u}));
        QCOMPARE(request.errorString(), QStringLiteral("请求加固失败"));
    }

    void consecutiveSequenceNumbers()
    {
        IdleRequest first;
        IdleRequest second;
        QCOMPARE(second.seq(), first.seq() + 1);
    }

    void startOnlyFromPendingOrCancelled_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("endStatus");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("running") << 2 << 2;
        QTest::newRow("finished") << 4 << 4;
        QTest::newRow("failed") << -1 << -1;
        QTest::newRow("pending: sends nothing, fails with 0") << 1 << -1;
        QTest::newRow("cancelled: sends nothing, fails with 0") << 3 << -1;
    }
    void startOnlyFromPendingOrCancelled()
    {
        QFETCH(int, status);
        QFETCH(int, endStatus);
        VaruUserModel::instance()->login(QStringLiteral("1"), QStringLiteral("k"));
        IdleRequest request;
        request.setStatus(status);
        QVERIFY(!request.start());
        QCOMPARE(request.status(), endStatus);
        QCOMPARE(request.errorCode(), 0);
        QCOMPARE(request.requests, (status == 1 || status == 3) ? 1 : 0);
    }

    void startSignedOut()
    {
        IdleRequest request;
        QVERIFY(!request.start());
        QCOMPARE(request.errorCode(), 100);
        QCOMPARE(request.status(), -1);
        QCOMPARE(request.errorString(), QStringLiteral("用户未登录"));
        QCOMPARE(request.requests, 0);
    }

    void cancelWithoutReply()
    {
        IdleRequest request;
        request.setStatus(1);
        request.cancel();
        QCOMPARE(request.status(), 3);
        QCOMPARE(request.errorCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRequest)
#include "tst_request.moc"
