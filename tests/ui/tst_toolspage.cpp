#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "tests/ui/uitest.h"
#include "ui/assistantcontroller.h"
#include "ui/assistantview.h"
#include "ui/controllerset.h"
#include "ui/waitingspinnerwidget.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace VaruUiTest;

class TestToolsPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QString mKeystore;
    QString mApk;
    QString mOut;
    Answers mAnswers;
    VaruUserModel *user() { return VaruUserModel::instance(); }
    VaruAssistantController *controller()
    {
        return VaruControllerSet::instance()->controller<VaruAssistantController>();
    }
    QStringList outputFiles() const { return QDir(mOut).entryList(QDir::Files, QDir::Name); }

    void storeKeystore(const QString &password, const QString &alias, const QString &aliasPassword)
    {
        user()->setKeyStorePath(mKeystore);
        user()->setKeyStorePassword(password);
        user()->setKeyStoreAlias(alias);
        user()->setKeyStoreAliasPassword(aliasPassword);
    }
    // Chooses the APK and output folder through the page's dialogs.
    void choose(VaruAssistantView &view, bool sign)
    {
        mAnswers.file = mApk;
        mAnswers.directory = mOut;
        if (sign) {
            view.onOpenSignedOriginalApk();
            view.onOpenSignedOutputDir();
        } else {
            view.onOpenPackedOriginalApk();
            view.onOpenPackedOutputDir();
        }
    }

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        mKeystore = VaruFixtures::makeKeystore(mHome.filePath(QStringLiteral("k.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")}});
        mApk = VaruFixtures::makeApk(mHome.path(), QStringLiteral("app.apk"));
        mOut = mHome.filePath(QStringLiteral("out"));
        QDir().mkpath(mOut);
        QVERIFY(!mKeystore.isEmpty() && !mApk.isEmpty());
        mAnswers.install();
    }
    void init()
    {
        user()->login(QStringLiteral("30001"), QStringLiteral("k"));
        for (const QString &name : outputFiles())
            QFile::remove(QDir(mOut).filePath(name));
    }
    void cleanup() { user()->logout(); }

    void signChecks_data()
    {
        QTest::addColumn<bool>("chooseFiles");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("alias");
        QTest::addColumn<QString>("aliasPassword");
        QTest::addColumn<QString>("message");
        QTest::newRow("no APK") << false << "storepass1"
                                << "release"
                                << "keypass1"
                                << "签名失败，Apk原包不存在";
        QTest::newRow("5-character password") << true << "store"
                                              << "release"
                                              << "keypass1"
                                              << "签名失败，Keystore密码不合法";
        QTest::newRow("no alias") << true << "storepass1"
                                  << ""
                                  << "keypass1"
                                  << "签名失败，Keystore别名不能为空";
        QTest::newRow("short key password") << true << "storepass1"
                                            << "release"
                                            << "key"
                                            << "签名失败，Keystore别名密码不合法";
    }
    void signChecks()
    {
        QFETCH(bool, chooseFiles);
        QFETCH(QString, password);
        QFETCH(QString, alias);
        QFETCH(QString, aliasPassword);
        QFETCH(QString, message);
        storeKeystore(password, alias, aliasPassword);
        VaruAssistantView view;
        view.show();
        if (chooseFiles)
            choose(view, true);
        view.onStartSign();
        QCOMPARE(messages(&view), QStringList{message});
        QVERIFY(!view.signSpinner()->isSpinning());
    }

    void missingOutputFolder()
    {
        VaruAssistantView view;
        mAnswers.file = mApk;
        view.onOpenSignedOriginalApk();
        view.onStartSign();
        QCOMPARE(messages(&view), QStringList{"签名失败，Apk输出目录不存在"});
    }

    // A real signing with the stored keystore, started from the page.
    void signsWithStoredValues()
    {
        storeKeystore(
            QStringLiteral("storepass1"), QStringLiteral("release"), QStringLiteral("keypass1"));
        VaruAssistantView view;
        view.show();
        QVERIFY(!view.keyStorePathEdit()->isEnabled());
        QCOMPARE(view.keyStorePathEdit()->text(), mKeystore);
        choose(view, true);
        QCOMPARE(controller()->signOutputDir(), mOut + QLatin1Char('/'));
        view.onStartSign();
        QVERIFY(view.signSpinner()->isSpinning());
        QTRY_VERIFY_WITH_TIMEOUT(!view.signSpinner()->isSpinning(), 120000);
        QCOMPARE(messages(&view), QStringList{"签名成功:)"});
        QCOMPARE(outputFiles(), QStringList{"app_signed_zipalign.apk"});
    }

    // Own values: typed on the page, kept across switching, never stored.
    void ownValues()
    {
        user()->login(QStringLiteral("30002"), QStringLiteral("k")); // nothing stored here
        VaruAssistantView view;
        view.show();
        view.signOwnRadio()->setChecked(true);
        QVERIFY(view.keyStorePathEdit()->isEnabled());
        view.keyStorePathEdit()->setText(mKeystore);
        type(view.keyStorePasswordEdit(), QStringLiteral("storepass1"));
        QTRY_COMPARE_WITH_TIMEOUT(
            view.aliasCombo()->currentText(), QStringLiteral("release"), 60000);
        type(view.aliasPasswordEdit(), QStringLiteral("keypass1"));
        view.signStoredRadio()->setChecked(true);
        QCOMPARE(view.keyStorePathEdit()->text(), QString()); // nothing stored
        view.signOwnRadio()->setChecked(true);
        QCOMPARE(view.keyStorePathEdit()->text(), mKeystore);
        QCOMPARE(controller()->keyStoreAliasPassword(), QStringLiteral("keypass1"));
        QCOMPARE(user()->keyStorePath(), QString());
        choose(view, true);
        view.onStartSign();
        QTRY_VERIFY_WITH_TIMEOUT(!view.signSpinner()->isSpinning(), 120000);
        QCOMPARE(messages(&view), QStringList{"签名成功:)"});
    }

    void packChecks_data()
    {
        QTest::addColumn<QString>("androidName");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("message");
        QTest::newRow("no Android Name") << ""
                                         << "a;"
                                         << "打包失败，Android Name 不能为空";
        QTest::newRow("no channels") << "UMENG_CHANNEL"
                                     << ""
                                     << "打包失败，配置参数不能为空";
        QTest::newRow("empty channel") << "UMENG_CHANNEL"
                                       << ";a;"
                                       << "配置参数项不能为空";
        QTest::newRow("key not in the manifest") << "NOT_THERE"
                                                 << "a;"
                                                 << "android name配置错误";
    }
    void packChecks()
    {
        QFETCH(QString, androidName);
        QFETCH(QString, params);
        QFETCH(QString, message);
        user()->setAndroidName(androidName);
        user()->setPackParams(params);
        VaruAssistantView view;
        view.show();
        choose(view, false);
        view.onStartPack();
        QTRY_VERIFY_WITH_TIMEOUT(!view.packSpinner()->isSpinning(), 60000);
        QTRY_VERIFY(messages(&view).contains(message));
    }

    // A real packing with stored values shows no message on success.
    void packsWithStoredValues()
    {
        user()->setAndroidName(QStringLiteral("UMENG_CHANNEL"));
        user()->setPackParams(QStringLiteral("kestrin;xiaomi;baidu;"));
        VaruAssistantView view;
        view.show();
        QVERIFY(!view.androidNameEdit()->isEnabled());
        choose(view, false);
        QCOMPARE(controller()->packOutputDir(), mOut); // stored as chosen
        view.onStartPack();
        QTRY_VERIFY_WITH_TIMEOUT(!view.packSpinner()->isSpinning(), 120000);
        QCOMPARE(messages(&view), QStringList());
        QCOMPARE(
            outputFiles(), (QStringList{"app_baidu.apk", "app_kestrin.apk", "app_xiaomi.apk"}));
    }

    // A path typed by hand is not what gets signed; only the dialog sets it.
    void typedApkPathIgnored()
    {
        VaruAssistantView view;
        view.signApkEdit()->setText(mApk);
        view.onStartSign();
        QCOMPARE(messages(&view), QStringList{"签名失败，Apk原包不存在"});
    }
};

QTEST_MAIN(TestToolsPage)
#include "tst_toolspage.moc"
