#include "app/startup.h"
#include "core/usermodel.h"
#include "service/apkscanner.h"
#include "service/serviceurl.h"
#include "tasks/apkinfo.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/simfixture.h"
#include "tests/ui/uitest.h"
#include "ui/guideview.h"
#include "ui/loginview.h"
#include "ui/mainwindow.h"
#include "ui/reinforceview.h"
#include "ui/titlebar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

using namespace VaruUiTest;

namespace {

// Presses the sign-in button of the simulator's page inside the embedded browser.
void pressSignIn(VaruLoginView *view)
{
    view->webView()->page()->runJavaScript(
        QStringLiteral("document.getElementById('signin').click();"));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    Answers mAnswers;

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.startSignedOut());
        VaruApkScanner::instance()->setTickMillisecondsForTesting(50);
        mAnswers.install();
        answerBoxesWithNo(this); // the "new version" question
    }

    // From the sign-in page through the first-run guide to a finished, signed task, and
    // back again after signing out.
    void endToEnd()
    {
        const QString keystore = VaruFixtures::makeKeystore(
            mFixture.home.filePath(QStringLiteral("k.jks")), QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")}});
        const QString apk = VaruFixtures::makeApk(mFixture.home.path(), QStringLiteral("game.apk"));
        const QString out = mFixture.home.filePath(QStringLiteral("out"));
        QDir().mkpath(out);

        VaruMainWindow window;
        window.show();
        QCOMPARE(window.currentContent(), window.loginView());
        QVERIFY(!window.titleBar()->tabButtons().first()->isVisible());

        window.loginView()->loginButton()->click();
        QVERIFY(window.loginView()->isWebShown());
        QSignalSpy loaded(window.loginView()->webView(), &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(60000));
        pressSignIn(window.loginView());
        QTRY_COMPARE_WITH_TIMEOUT(window.currentContent(), window.guideView(), 60000);
        QCOMPARE(window.titleBar()->uinLabel()->text(), QStringLiteral("100086"));
        QCOMPARE(window.loginAction()->text(), QStringLiteral("注销"));

        VaruGuideView *guide = window.guideView();
        guide->onStartConfigure();
        guide->outputDirEdit()->setText(out);
        guide->onNextStep();
        guide->keyStorePathEdit()->setText(keystore);
        type(guide->keyStorePasswordEdit(), QStringLiteral("storepass1"));
        QTRY_COMPARE_WITH_TIMEOUT(
            guide->aliasCombo()->currentText(), QStringLiteral("release"), 60000);
        type(guide->aliasPasswordEdit(), QStringLiteral("keypass1"));
        guide->onNextStep();
        guide->onNextStep();
        QCOMPARE(guide->pageStack()->currentIndex(), 3);
        guide->finishButton()->click();
        QCOMPARE(window.currentContent(), window.pages());
        QVERIFY(window.titleBar()->tabButtons().first()->isVisible());

        mAnswers.file = apk;
        window.reinforceView()->onAdd();
        VaruApkRecords *records = VaruUserModel::instance()->apkRecords();
        QTRY_COMPARE_WITH_TIMEOUT(records->rowCount(), 1, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(records->data(records->index(0, 5)).toString(),
            QStringLiteral("签名打包已完成"), 180000);
        const QString signedApk
            = QDir(out).filePath(QStringLiteral("game_varu_signed_zipalign.apk"));
        QCOMPARE(VaruFixtures::verifiedSigners(signedApk).size(), 1);

        // Sign out, then in again as the same account: the task is still there.
        window.loginAction()->trigger();
        QCOMPARE(window.currentContent(), window.loginView());
        QCOMPARE(records->rowCount(), 0);
        QVERIFY(loaded.wait(60000));
        pressSignIn(window.loginView());
        QTRY_COMPARE_WITH_TIMEOUT(window.currentContent(), window.pages(), 60000);
        QCOMPARE(records->rowCount(), 1);
        window.close();
        QVERIFY(!VaruUserModel::instance()->isLoggedIn());
    }
};

int main(int argc, char *argv[])
{
    setApplicationAttributes();
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
