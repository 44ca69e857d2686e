#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "tests/ui/uitest.h"
#include "ui/controllerset.h"
#include "ui/settingscontroller.h"
#include "ui/settingsview.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace VaruUiTest;

class TestSettingsPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QString mKeystore; // three aliases
    QString mSingle; // one alias
    VaruSettingsController *controller()
    {
        return VaruControllerSet::instance()->controller<VaruSettingsController>();
    }
    VaruUserModel *user() { return VaruUserModel::instance(); }

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        mKeystore = VaruFixtures::makeKeystore(mHome.filePath(QStringLiteral("three.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("alpha"), QStringLiteral("keypass1")},
                {QStringLiteral("beta"), QStringLiteral("keypass1")},
                {QStringLiteral("gamma"), QStringLiteral("keypass1")}});
        mSingle = VaruFixtures::makeKeystore(mHome.filePath(QStringLiteral("one.jks")),
            QStringLiteral("storepass1"), {{QStringLiteral("only"), QStringLiteral("keypass1")}});
        QVERIFY(!mKeystore.isEmpty() && !mSingle.isEmpty());
    }
    void init() { user()->login(QStringLiteral("20001"), QStringLiteral("k")); }
    void cleanup() { user()->logout(); }

    void signChecksInOrder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("alias");
        QTest::addColumn<QString>("aliasPassword");
        QTest::addColumn<QString>("message");
        const QString ks = mKeystore;
        QTest::newRow("no path") << ""
                                 << "123456"
                                 << "a"
                                 << "1234"
                                 << "Keystore路径不能为空";
        QTest::newRow("no file") << "/no/such.jks"
                                 << "123456"
                                 << "a"
                                 << "1234"
                                 << "Keystore文件不存在";
        QTest::newRow("5-character password") << ks << "12345"
                                              << ""
                                              << ""
                                              << "Keystore密码不合法";
        QTest::newRow("no alias") << ks << "123456"
                                  << ""
                                  << "123"
                                  << "Keystore别名不能为空";
        QTest::newRow("3-character key password") << ks << "123456"
                                                  << "a"
                                                  << "123"
                                                  << "Keystore别名密码不合法";
        QTest::newRow("6 and 4 pass") << ks << "123456"
                                      << "a"
                                      << "1234"
                                      << "保存成功";
    }
    void signChecksInOrder()
    {
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QString, alias);
        QFETCH(QString, aliasPassword);
        QFETCH(QString, message);
        VaruSettingsController *c = controller();
        QSignalSpy flushed(c, &VaruSettingsController::sigFlushResult);
        c->setKeyStorePath(path);
        c->setKeyStorePassword(password);
        c->setKeyStoreAlias(alias);
        c->setKeyStoreAliasPassword(aliasPassword);
        const bool ok = message == QStringLiteral("保存成功");
        QCOMPARE(c->saveSettings(VaruSettingsController::SettingsSign), ok);
        QCOMPARE(flushed.count(), 1);
        QCOMPARE(flushed.first(), (QList<QVariant>{ok, message}));
        QCOMPARE(user()->keyStorePath(), ok ? path : QString());
    }

    void laterFailureKeepsEarlierCategories()
    {
        VaruSettingsController *c = controller();
        c->setOutputDir(mHome.path());
        c->setUseRovan(true);
        c->setKeyStorePath(QString());
        QVERIFY(!c->saveSettings(
            VaruSettingsController::SettingsBasic | VaruSettingsController::SettingsSign));
        QCOMPARE(user()->outputDir(), mHome.path() + QLatin1Char('/'));
        QVERIFY(user()->useRovan());
        c->setOutputDir(mHome.filePath(QStringLiteral("gone")));
        QVERIFY(!c->saveSettings(VaruSettingsController::SettingsBasic));
    }

    void channelListRule_data()
    {
        QTest::addColumn<QString>("params");
        QTest::addColumn<bool>("valid");
        QTest::newRow("example") << "kestrin;xiaomi;baidu;" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("no trailing") << "a;b" << true;
        QTest::newRow("two in a row") << "a;;b;" << false;
        QTest::newRow("leading") << ";a;" << false;
    }
    void channelListRule()
    {
        QFETCH(QString, params);
        QFETCH(bool, valid);
        controller()->setPackParams(params);
        QSignalSpy flushed(controller(), &VaruSettingsController::sigFlushResult);
        QCOMPARE(controller()->saveSettings(VaruSettingsController::SettingsPack), valid);
        if (!valid)
            QCOMPARE(flushed.first().at(1).toString(), QStringLiteral("配置参数项不能为空"));
    }

    // The sixth character starts a listing; a wrong password's empty answer is cached.
    void aliasCache()
    {
        VaruSettingsController *c = controller();
        QStringListModel *model = c->aliasModel();
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        c->setKeyStorePath(mKeystore);
        c->setKeyStorePassword(QStringLiteral("store"));
        c->refreshAliases();
        QCOMPARE(model->stringList(), QStringList());
        resets.clear();
        c->setKeyStorePassword(QStringLiteral("storep"));
        c->refreshAliases();
        QCOMPARE(resets.count(), 0); // asked keytool; the answer comes later
        QVERIFY(resets.wait(60000));
        QCOMPARE(model->stringList(), QStringList()); // wrong password

        c->setKeyStorePassword(QStringLiteral("storepass1"));
        c->refreshAliases();
        QVERIFY(resets.wait(60000));
        QCOMPARE(model->stringList(), (QStringList{"alpha", "beta", "gamma"}));

        resets.clear();
        c->setKeyStorePassword(QStringLiteral("storep"));
        c->refreshAliases();
        QCOMPARE(resets.count(), 1); // from the cache, at once
        QCOMPARE(model->stringList(), QStringList());
    }

    void aliasSelection_data()
    {
        QTest::addColumn<bool>("several");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        QTest::newRow("one alias") << false << "beta"
                                   << "only";
        QTest::newRow("several, stored present") << true << "beta"
                                                 << "beta";
        QTest::newRow("several, stored absent") << true << "zeta"
                                                << "alpha";
    }
    void aliasSelection()
    {
        QFETCH(bool, several);
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        user()->setKeyStoreAlias(stored);
        VaruSettingsView view;
        view.show();
        view.keyStorePathEdit()->setText(several ? mKeystore : mSingle);
        type(view.keyStorePasswordEdit(), QStringLiteral("storepass1"));
        QTRY_COMPARE_WITH_TIMEOUT(view.aliasCombo()->currentText(), selected, 60000);
    }

    void pageFollowsTheUser()
    {
        user()->setAndroidName(QStringLiteral("UMENG_CHANNEL"));
        user()->setAutoPack(false);
        VaruSettingsView view;
        view.show();
        QCOMPARE(view.androidNameEdit()->text(), QStringLiteral("UMENG_CHANNEL"));
        QVERIFY(!view.autoPackSwitch()->isChecked());
        // Unsaved edits give way to the stored values when the page is shown again.
        type(view.androidNameEdit(), QStringLiteral("渠道"));
        view.hide();
        view.show();
        QCOMPARE(view.androidNameEdit()->text(), QStringLiteral("UMENG_CHANNEL"));
        // Saving from the page: the message shows over it.
        type(view.packParamsEdit(), QStringLiteral("a;;b"));
        view.sectionList()->setCurrentRow(2);
        view.onSavePackSettings();
        QCOMPARE(messages(&view), QStringList{QStringLiteral("配置参数项不能为空")});

        user()->logout();
        for (QToolButton *toggle :
            {view.rovanSwitch(), view.wexlySwitch(), view.autoSignSwitch(), view.autoPackSwitch()})
            QVERIFY(toggle->isChecked());
        for (QLineEdit *edit :
            {view.outputDirEdit(), view.keyStorePathEdit(), view.keyStorePasswordEdit(),
                view.aliasPasswordEdit(), view.androidNameEdit(), view.packParamsEdit()})
            QCOMPARE(edit->text(), QString());
        user()->login(QStringLiteral("20001"), QStringLiteral("k"));
        QCOMPARE(view.androidNameEdit()->text(), QStringLiteral("UMENG_CHANNEL"));
    }

    void folderDialogs()
    {
        user()->login(
            QStringLiteral("20002"), QStringLiteral("k")); // an account with nothing stored
        Answers answers;
        answers.directory = mHome.path();
        answers.file = mSingle;
        answers.install();
        VaruSettingsView view;
        view.onOpenOutputDir();
        view.onOpenKeyStorePath();
        VaruFileDialogs::setAskers({}, {});
        QCOMPARE(answers.captions, (QStringList{"打开加固包输出目录", "打开Keystore文件"}));
        QCOMPARE(view.outputDirEdit()->text(), mHome.path());
        QCOMPARE(view.keyStorePathEdit()->text(), mSingle);
        QCOMPARE(user()->outputDir(), QString()); // nothing stored before Save
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
