#include "app/startup.h"
#include "core/usermodel.h"
#include "service/serviceurl.h"
#include "tests/fixtures/simfixture.h"
#include "tests/ui/uitest.h"
#include "ui/controllerset.h"
#include "ui/cookiemirror.h"
#include "ui/logincontroller.h"
#include "ui/loginview.h"
#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

void setSessionCookies(VaruLoginView &view, const QString &uin, const QString &skey)
{
    const QUrl url = serviceUrl(QStringLiteral("/"));
    view.cookies()->setCookiesFromUrl(
        {QNetworkCookie("uin", uin.toUtf8()), QNetworkCookie("skey", skey.toUtf8())}, url);
}

} // namespace

class TestLoginView : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QStringList mBoxes;

    int accountChecks() const
    {
        int checks = 0;
        for (const auto &exchange : mFixture.sim.exchanges())
            checks += exchange.target == "/myapplication/getAppList";
        return checks;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.startSignedOut());
        VaruUiTest::answerBoxesWithNo(this, &mBoxes);
    }
    void init()
    {
        mFixture.sim.clearExchanges();
        mFixture.sim.setSession(std::string(), std::string());
        VaruUserModel::instance()->logout();
    }

    void sessionChecks()
    {
        VaruLoginView view;
        QSignalSpy state(VaruControllerSet::instance()->controller<VaruLoginController>(),
            &VaruLoginController::sigLoginStateChanged);
        setSessionCookies(
            view, QStringLiteral("o123"), QStringLiteral("@k")); // 4 characters: never checked
        view.checkSession();
        QCOMPARE(accountChecks(), 0);
        QCOMPARE(state.count(), 0);

        // The service does not know this session: an empty answer, nothing happens.
        mFixture.sim.setSession("o99999", "@other");
        setSessionCookies(view, QStringLiteral("o12345"), QStringLiteral("@k"));
        view.checkSession();
        QCOMPARE(accountChecks(), 1);
        QCOMPARE(state.count(), 0);
        QVERIFY(!VaruUserModel::instance()->isLoggedIn());

        mFixture.sim.setSession("o12345", "@k");
        view.checkSession();
        QCOMPARE(state.count(), 1);
        QCOMPARE(state.first(), (QList<QVariant>{1, QStringLiteral("12345"), true}));
        QCOMPARE(QString::fromStdString(mFixture.sim.exchanges().back().cookie),
            QStringLiteral("uin=o12345;skey=@k;from=pcmac"));

        view.checkSession(); // the same account again: no second sign-in
        QCOMPARE(state.count(), 1);
    }

    void displayNumber()
    {
        QCOMPARE(VaruLoginController::displayNumber(QStringLiteral("o0012345")),
            QStringLiteral("0012345"));
    }

    void versionCheck_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("served");
        QTest::addColumn<bool>("asks");
        QTest::newRow("equal") << QByteArray("1.0") << "1.0" << false;
        QTest::newRow("different") << QByteArray("0.9") << "1.0" << true;
        QTest::newRow("missing file") << QByteArray() << "1.0" << true;
        QTest::newRow("line break in the file only") << QByteArray("1.0\n") << "1.0" << true;
        QTest::newRow("line break on both") << QByteArray("1.0\n") << "1.0\n" << false;
        QTest::newRow("empty answer") << QByteArray("0.9") << "" << false;
    }
    void versionCheck()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, served);
        QFETCH(bool, asks);
        QFile info(VaruMainWindow::versionInfoPath());
        QFile::remove(info.fileName());
        if (!file.isNull()) {
            QVERIFY(info.open(QIODevice::WriteOnly));
            info.write(file);
            info.close();
        }
        mFixture.sim.setVersionText(served.toStdString());
        mBoxes.clear();
        {
            VaruMainWindow window;
            auto asked = [this] {
                for (const auto &exchange : mFixture.sim.exchanges()) {
                    if (exchange.target == "/index/pcVersion")
                        return true;
                }
                return false;
            };
            QTRY_VERIFY_WITH_TIMEOUT(asked(), 30000);
            QTest::qWait(300); // no signal tells that no box will come: give the answer time
        }
        QFile::remove(info.fileName());
        QCOMPARE(
            mBoxes, asks ? QStringList{QStringLiteral("发现更新，立即前往下载?")} : QStringList());
    }
};

int main(int argc, char *argv[])
{
    setApplicationAttributes();
    QApplication app(argc, argv);
    TestLoginView test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_loginview.moc"
