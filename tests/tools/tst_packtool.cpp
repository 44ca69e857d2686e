#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/packing.h"
#include "tools/packtool.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kKey = QStringLiteral("UMENG_CHANNEL");

QString badging(const QString &apk)
{
    return VaruFixtures::run(
        QStringLiteral("aapt"), {"dump", "--include-meta-data", "badging", apk});
}

QString xmltree(const QString &apk)
{
    return VaruFixtures::run(
        QStringLiteral("aapt"), {"dump", "xmltree", apk, "AndroidManifest.xml"});
}
} // namespace

class TestPackTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mApk;
    QString mOut;
    QString mKeystore;

    QStringList outputFiles() const { return QDir(mOut).entryList(QDir::Files, QDir::Name); }
    void clearOutput()
    {
        for (const QString &name : outputFiles())
            QFile::remove(QDir(mOut).filePath(name));
    }
    QList<int> runPack(
        VaruPackTool &tool, const QString &apk, const QString &key, const QString &params)
    {
        return VaruFixtures::runPack(tool, apk, key, params, mOut);
    }

private slots:
    void initTestCase()
    {
        VaruFixtures::ApkSpec shape;
        shape.metaData
            = {{kKey, QStringLiteral("none")}, {QStringLiteral("OTHER"), QStringLiteral("keep")}};
        mApk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("app.apk"), shape);
        QVERIFY(!mApk.isEmpty());
        mOut = mDir.filePath(QStringLiteral("out/"));
        QDir().mkpath(mOut);
        mKeystore = VaruFixtures::makeKeystore(mDir.filePath(QStringLiteral("k.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")}});
        QVERIFY(!mKeystore.isEmpty());
    }
    void init() { clearOutput(); }

    void channelOrder()
    {
        QStringList channels;
        QVERIFY(VaruPackTool::parseChannels(QStringLiteral("kestrin;xiaomi;baidu;"), &channels));
        QCOMPARE(channels, (QStringList{"baidu", "xiaomi", "kestrin"}));
        QVERIFY(VaruPackTool::parseChannels(QStringLiteral("a;b"), &channels));
        QCOMPARE(channels, QStringList{"a"});
        QVERIFY(VaruPackTool::parseChannels(QStringLiteral(";;"), &channels));
        QVERIFY(channels.isEmpty());
        QVERIFY(!VaruPackTool::parseChannels(QStringLiteral("baidu"), &channels));
    }

    // Each channel APK carries its channel, as string or as decimal integer; other
    // meta-data and the source stay as they were.
    void channelsWritten()
    {
        VaruPackTool tool;
        const QByteArray source
            = VaruFixtures::readEntry(mApk, QStringLiteral("AndroidManifest.xml"));
        QCOMPARE(
            runPack(tool, mApk, kKey,
                QStringLiteral("kestrin;xiaomi;baidu;1001;01;渠道;") + QString(150, 'L') + ";"),
            QList<int>{0});
        QCOMPARE(outputFiles(),
            (QStringList{"app_01.apk", "app_1001.apk", "app_" + QString(150, 'L') + ".apk",
                "app_baidu.apk", "app_kestrin.apk", "app_xiaomi.apk", "app_渠道.apk"}));
        for (const QString &channel : {QStringLiteral("kestrin"), QStringLiteral("baidu"),
                 QStringLiteral("渠道"), QString(150, 'L')}) {
            const QString dump = badging(QDir(mOut).filePath("app_" + channel + ".apk"));
            QVERIFY2(dump.contains("meta-data: name='UMENG_CHANNEL' value='" + channel + "'"),
                qPrintable(dump));
            QVERIFY(dump.contains("meta-data: name='OTHER' value='keep'"));
        }
        QVERIFY(xmltree(QDir(mOut).filePath("app_1001.apk")).contains("=(type 0x10)0x3e9"));
        QVERIFY(xmltree(QDir(mOut).filePath("app_01.apk")).contains("=(type 0x10)0x1"));
        QCOMPARE(VaruFixtures::readEntry(mApk, QStringLiteral("AndroidManifest.xml")), source);
    }

    void onlyBeforeTheLastSemicolon()
    {
        VaruPackTool tool;
        QCOMPARE(runPack(tool, mApk, kKey, QStringLiteral("a;b")), QList<int>{0});
        QCOMPARE(outputFiles(), QStringList{"app_a.apk"});
    }

    void failures_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QString>("text");
        QTest::newRow("no semicolon: reported twice")
            << kKey << "baidu" << QList<int>{-5, -5} << "渠道信息配置错误";
        QTest::newRow("key not in the manifest")
            << "NO_SUCH_KEY"
            << "a;" << QList<int>{-7, -7} << "android name配置错误";
    }
    void failures()
    {
        QFETCH(QString, key);
        QFETCH(QString, params);
        QFETCH(QList<int>, codes);
        QFETCH(QString, text);
        VaruPackTool tool;
        QCOMPARE(runPack(tool, mApk, key, params), codes);
        QCOMPARE(tool.errorText(), text);
        QCOMPARE(outputFiles(), QStringList());
    }

    void refusals()
    {
        VaruPackTool tool;
        QSignalSpy reports(&tool, &VaruPackTool::sigApkPackCallback);
        QCOMPARE(tool.pack(mApk, QString(), QStringLiteral("a;"), mOut), -2);
        QCOMPARE(reports.count(), 0);
        QCOMPARE(tool.pack(mDir.filePath("missing.apk"), kKey, QStringLiteral("a;"), mOut), -6);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(tool.pack(mApk, kKey, QStringLiteral("a;b;"), mOut), 0);
        QCOMPARE(tool.pack(mApk, kKey, QStringLiteral("a;b;"), mOut), 1);
        QCOMPARE(reports.last().at(3).toString(), QStringLiteral("正在打包中，请稍候再试..."));
        QTRY_VERIFY_WITH_TIMEOUT(!tool.isBusy(), 120000);
        QCOMPARE(tool.pack(mApk, kKey, QStringLiteral("c;"), mOut), 0); // accepted again
        QTRY_VERIFY_WITH_TIMEOUT(!tool.isBusy(), 120000);
    }

    // A not-an-APK source ends with a failure report, not a crash.
    void sourceNotAnApk()
    {
        QFile junk(mDir.filePath(QStringLiteral("junk.apk")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a zip");
        junk.close();
        VaruPackTool tool;
        QCOMPARE(runPack(tool, junk.fileName(), kKey, QStringLiteral("a;")), (QList<int>{-6, -6}));
        QCOMPARE(outputFiles(), QStringList());
    }

    void keyWithoutValueLeftAlone()
    {
        VaruFixtures::ApkSpec shape;
        shape.metaData = {{kKey, QString()}};
        const QString apk
            = VaruFixtures::makeApk(mDir.path(), QStringLiteral("novalue.apk"), shape);
        QVERIFY(!apk.isEmpty());
        VaruPackTool tool;
        QCOMPARE(runPack(tool, apk, kKey, QStringLiteral("baidu;")), QList<int>{0});
        const QString dump = xmltree(QDir(mOut).filePath(QStringLiteral("novalue_baidu.apk")));
        QVERIFY2(!dump.contains("baidu"), qPrintable(dump));
    }

    // Signed and aligned channel APKs only, each verified with one signer.
    void packAndSign()
    {
        VaruPackTool tool;
        QSignalSpy reports(&tool, &VaruPackTool::sigApkPackSignCallback);
        QCOMPARE(tool.packAndSign(mApk, kKey, QStringLiteral("xiaomi;baidu;"), mOut, mKeystore,
                     QStringLiteral("storepass1"), QStringLiteral("release"),
                     QStringLiteral("keypass1")),
            0);
        QVERIFY(reports.wait(180000));
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.first().at(2).toInt(), 0);
        QCOMPARE(outputFiles(),
            (QStringList{"app_baidu_signed_zipalign.apk", "app_xiaomi_signed_zipalign.apk"}));
        for (const QString &name : outputFiles()) {
            const QString apk = QDir(mOut).filePath(name);
            QCOMPARE(VaruFixtures::verifiedSigners(apk).size(), 1);
            QVERIFY(badging(apk).contains("value='" + name.section('_', 1, 1) + "'"));
        }
        // A wrong key password stops the run at the first channel.
        clearOutput();
        reports.clear();
        QCOMPARE(
            tool.packAndSign(mApk, kKey, QStringLiteral("xiaomi;baidu;"), mOut, mKeystore,
                QStringLiteral("storepass1"), QStringLiteral("release"), QStringLiteral("wrong")),
            0);
        QTRY_COMPARE_WITH_TIMEOUT(reports.count(), 2, 180000);
        QCOMPARE(reports.at(0).at(2).toInt(), -8);
        QCOMPARE(reports.at(1).at(2).toInt(), -8);
        QCOMPARE(outputFiles(), QStringList{"app_baidu.apk"});
    }
};

QTEST_GUILESS_MAIN(TestPackTool)
#include "tst_packtool.moc"
