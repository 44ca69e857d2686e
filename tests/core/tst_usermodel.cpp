#include "core/datacenter.h"
#include "core/usermodel.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestUserModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    VaruUserModel *user() { return VaruUserModel::instance(); }

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        QCOMPARE(VaruUserModel::instance(), user());
    }

    void cleanup() { user()->logout(); }

    void signedOutState()
    {
        QString cookie = QStringLiteral("stale");
        QVERIFY(!user()->cookie(cookie));
        QCOMPARE(cookie, QString());
        QVERIFY(!user()->isLoggedIn());
        QVERIFY(!user()->needsSetup());
        QCOMPARE(user()->outputDir(), QString());
        QCOMPARE(user()->autoPack(), false);
        user()->setOutputDir(QStringLiteral("/ignored")); // nobody signed in: nothing happens
        QCOMPARE(user()->outputDir(), QString());
    }

    void cookieText()
    {
        user()->login(QStringLiteral("12345"), QStringLiteral("@abc"));
        QString cookie;
        QVERIFY(user()->cookie(cookie));
        QCOMPARE(cookie, QStringLiteral("uin=12345;skey=@abc;from=pctool"));
        QVERIFY(user()->needsSetup());
        user()->logout();
        QVERIFY(!user()->cookie(cookie));
        QCOMPARE(cookie, QString());
    }

    void emptySessionKeyIsNotSignedIn()
    {
        QSignalSpy changed(user(), &VaruUserModel::sigUserStateChanged);
        user()->login(QStringLiteral("12345"), QString());
        QCOMPARE(changed.count(), 1);
        QVERIFY(user()->dataCenter());
        QVERIFY(!user()->isLoggedIn());
    }

    void loginTwiceKeepsOneStore()
    {
        QSignalSpy changed(user(), &VaruUserModel::sigUserStateChanged);
        user()->login(QStringLiteral("111"), QStringLiteral("k1"));
        user()->login(QStringLiteral("222"), QStringLiteral("k2"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(1).toBool(), true);
        QCOMPARE(qvariant_cast<VaruUserModel *>(changed.at(1).at(0)), user());
        QCOMPARE(user()->findChildren<VaruDataCenter *>().size(), 1);
        QCOMPARE(user()->dataCenter()->applicationName(), QStringLiteral("222"));
        user()->logout();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(1).toBool(), false);
        QCOMPARE(user()->findChildren<VaruDataCenter *>().size(), 0);
        user()->logout(); // announced even when nobody was signed in
        QCOMPARE(changed.count(), 4);
    }

    void outputDirSeparators_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no separator") << "/home/me/out"
                                      << "/home/me/out/";
        QTest::newRow("slash") << "/home/me/out/"
                               << "/home/me/out/";
        QTest::newRow("backslash") << "C:\\out\\"
                                   << "C:\\out\\";
        QTest::newRow("empty") << ""
                               << "";
    }
    void outputDirSeparators()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        user()->login(QStringLiteral("333"), QStringLiteral("k"));
        user()->setOutputDir(stored);
        QCOMPARE(user()->outputDir(), shown);
    }

    void typedAccessors()
    {
        user()->login(QStringLiteral("444"), QStringLiteral("k"));
        user()->setUseRovan(true);
        user()->setUseWexly(true);
        user()->setKeyStorePath(QStringLiteral("/k.jks"));
        user()->setKeyStorePassword(QStringLiteral("sp"));
        user()->setKeyStoreAlias(QStringLiteral("release"));
        user()->setKeyStoreAliasPassword(QStringLiteral("kp"));
        user()->setAutoSign(true);
        user()->setAndroidName(QStringLiteral("UMENG_CHANNEL"));
        user()->setPackParams(QStringLiteral("a,b"));
        user()->setAutoPack(true);
        user()->logout();
        user()->login(QStringLiteral("444"), QStringLiteral("k"));
        QVERIFY(
            user()->useRovan() && user()->useWexly() && user()->autoSign() && user()->autoPack());
        QCOMPARE(user()->keyStorePath(), QStringLiteral("/k.jks"));
        QCOMPARE(user()->keyStorePassword(), QStringLiteral("sp"));
        QCOMPARE(user()->keyStoreAlias(), QStringLiteral("release"));
        QCOMPARE(user()->keyStoreAliasPassword(), QStringLiteral("kp"));
        QCOMPARE(user()->androidName(), QStringLiteral("UMENG_CHANNEL"));
        QCOMPARE(user()->packParams(), QStringLiteral("a,b"));
        QVERIFY(user()->needsSetup()); // the output folder is still missing
    }

    // A change to a record reaches the file at sign-out; the records are there for the
    // next sign-in, in this process and in a new one.
    void logoutSavesRecords()
    {
        user()->login(QStringLiteral("555"), QStringLiteral("k"));
        auto record = VaruFixtures::makeRecord(QStringLiteral("AAA"), 10);
        user()->apkRecords()->updateRecord(record);
        user()->apkRecords()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("BBB"), 20));
        record->setFileState(30);
        user()->logout();
        QCOMPARE(user()->apkRecords()->rowCount(), 0);

        const QString file = QDir(mHome.path()).filePath(QStringLiteral("config/Varu/555.db"));
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(settings.readAll()).object();
        const QJsonObject first = QJsonDocument::fromJson(
            json.value(QStringLiteral("records/1/content")).toString().toUtf8())
                                      .object();
        QCOMPARE(first.value(QStringLiteral("status")).toInt(), 30);

        user()->login(QStringLiteral("555"), QStringLiteral("k"));
        QCOMPARE(user()->apkRecords()->rowCount(), 2);
        QCOMPARE(user()->apkRecords()->recordAt(0)->fileState(), 30);
        user()->logout();

        // A new process sees the same two records.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--count-records"), QStringLiteral("555")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("AAA,BBB"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Child mode: sign in and print the md5s of the account's records, oldest first.
    if (argc == 3 && qstrcmp(argv[1], "--count-records") == 0) {
        VaruUserModel::instance()->login(QString::fromLatin1(argv[2]), QStringLiteral("k"));
        QStringList md5s;
        VaruApkRecords *records = VaruUserModel::instance()->apkRecords();
        for (int row = 0; row < records->rowCount(); ++row)
            md5s << records->recordAt(row)->md5();
        printf("%s\n", qPrintable(md5s.join(QLatin1Char(','))));
        return 0;
    }
    TestUserModel test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_usermodel.moc"
