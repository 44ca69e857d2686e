#include "platform/os/toolpaths.h"
#include "tasks/apkparser.h"
#include "tests/fixtures/fixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestApkParser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mApk;

private slots:
    void initTestCase()
    {
        QString error;
        mApk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("app.apk"), {}, &error);
        QVERIFY2(!mApk.isEmpty(), qPrintable(error));
    }

    void cleanup() { VaruOs::setToolBaseForTesting(QString()); }

    void readsRealApk()
    {
        VaruApkParser parser;
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QVERIFY(parser.parse(mApk));
        QCOMPARE(done.count(), 0); // the result comes from the worker, later
        QVERIFY(done.wait(30000));
        QCOMPARE(done.takeFirst().at(0).toBool(), true);
        QCOMPARE(parser.errorCode(), 0);
        QCOMPARE(parser.errorText(), QString());
        QCOMPARE(parser.packageName(), QStringLiteral("com.example.app"));
        QCOMPARE(parser.versionName(), QStringLiteral("1.2"));
        QCOMPARE(parser.md5(), VaruFixtures::md5sum(mApk));
        QCOMPARE(parser.fileName(), QStringLiteral("app.apk"));
        QCOMPARE(parser.fileSize(), QFileInfo(mApk).size());

        // The same path again: complete already, so no new read and no signal.
        QVERIFY(parser.parse(mApk));
        QVERIFY(!done.wait(300));
    }

    // aapt's output as the reader sees it, from a stand-in tool in a tool folder of its own.
    void badgingOutput_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("version");
        QTest::newRow("package and version")
            << QByteArray("package: name='com.example.app' versionCode='3' versionName='1.2'\n")
            << 0 << "com.example.app"
            << "1.2";
        QTest::newRow("no version name keeps the old one")
            << QByteArray("package: name='com.example.app' versionCode='3'\n") << 0
            << "com.example.app"
            << "old";
        QTest::newRow("no closing quote runs to the end")
            << QByteArray("package: name='com.example.app") << 0 << "com.example.app"
            << "old";
        QTest::newRow("package line beyond 512 characters")
            << QByteArray(600, 'x') + "\npackage: name='com.late' versionName='9'\n"
            << -3 << ""
            << "old";
        QTest::newRow("empty package name")
            << QByteArray("package: name='' versionName='1.2'\n") << -3 << ""
            << "old";
        QTest::newRow("no output") << QByteArray() << -3 << ""
                                   << "old";
        QTest::newRow("error text")
            << QByteArray("ERROR: dump failed because no AndroidManifest.xml found\n") << -3 << ""
            << "old";
    }
    void badgingOutput()
    {
        QFETCH(QByteArray, output);
        QFETCH(int, code);
        QFETCH(QString, package);
        QFETCH(QString, version);
        QTemporaryDir appDir;
        QFile data(appDir.filePath(QStringLiteral("output.txt")));
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(output);
        data.close();
        VaruFixtures::writeScript(VaruOs::toolPath(VaruOs::Tool::Aapt, appDir.path()),
            "cat '" + data.fileName().toUtf8() + "'\n");
        VaruOs::setToolBaseForTesting(appDir.path());

        VaruApkParser parser;
        // A stored record gives the parser an earlier version name to keep.
        QVERIFY(parser.fromStored({{QStringLiteral("filePath"), QStringLiteral("x")},
            {QStringLiteral("md5"), QStringLiteral("AB")},
            {QStringLiteral("fileName"), QStringLiteral("x")}, {QStringLiteral("fileSize"), 1},
            {QStringLiteral("packageName"), QStringLiteral("p")},
            {QStringLiteral("edition"), QStringLiteral("old")}}));
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QVERIFY(parser.parse(mApk));
        QVERIFY(done.wait(30000));
        QCOMPARE(done.first().at(0).toBool(), code == 0);
        QCOMPARE(parser.errorCode(), code);
        QCOMPARE(parser.packageName(), package);
        QCOMPARE(parser.versionName(), version);
        QCOMPARE(parser.md5(), VaruFixtures::md5sum(mApk));
    }

    void refusedAtOnce_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing file") << false << -1 << "Apk路径不存在";
        QTest::newRow("missing reader tool") << true << -2 << "无法解析Apk";
    }
    void refusedAtOnce()
    {
        QFETCH(bool, fileExists);
        QFETCH(int, code);
        QFETCH(QString, text);
        QTemporaryDir empty;
        if (fileExists)
            VaruOs::setToolBaseForTesting(empty.path());
        VaruApkParser parser;
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QVERIFY(!parser.parse(fileExists ? mApk : mDir.filePath(QStringLiteral("none.apk"))));
        QCOMPARE(parser.errorCode(), code);
        QCOMPARE(parser.errorText(), text);
        QVERIFY(!done.wait(200));
    }

    void notAnApk()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("notes.apk")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("just some text\n");
        file.close();
        VaruApkParser parser;
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QVERIFY(parser.parse(file.fileName()));
        QVERIFY(done.wait(30000));
        QCOMPARE(done.first().at(0).toBool(), false);
        QCOMPARE(parser.errorCode(), -3);
        QCOMPARE(parser.errorText(), QStringLiteral("Apk解析失败"));
    }

    void fromStoredNeedsCompleteData_data()
    {
        QTest::addColumn<QString>("drop");
        QTest::addColumn<bool>("taken");
        QTest::newRow("complete") << "" << true;
        QTest::newRow("no md5") << "md5" << false;
        QTest::newRow("no package") << "packageName" << false;
        QTest::newRow("no file name") << "fileName" << false;
        QTest::newRow("size 0") << "fileSize" << false;
    }
    void fromStoredNeedsCompleteData()
    {
        QFETCH(QString, drop);
        QFETCH(bool, taken);
        QVariantMap stored = {{QStringLiteral("filePath"), QStringLiteral("/x/app.apk")},
            {QStringLiteral("md5"), QStringLiteral("0123")},
            {QStringLiteral("fileName"), QStringLiteral("app.apk")},
            {QStringLiteral("fileSize"), 2048},
            {QStringLiteral("packageName"), QStringLiteral("com.example")},
            {QStringLiteral("edition"), QStringLiteral("2.0")},
            {QStringLiteral("time"), 1700000000000LL}};
        stored.remove(drop);
        VaruApkParser parser;
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QCOMPARE(parser.fromStored(stored), taken);
        QCOMPARE(done.count(), taken ? 1 : 0);
        if (taken)
            QCOMPARE(parser.time(), 1700000000000LL);
    }
};

QTEST_GUILESS_MAIN(TestApkParser)
#include "tst_apkparser.moc"
