#include "platform/os/toolpaths.h"
#include "tests/fixtures/fixtures.h"
#include "tools/signtool.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestSignTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mKeystore;
    QString mApk;
    QString mOut;

    QStringList outputFiles() const { return QDir(mOut).entryList(QDir::Files, QDir::Name); }
    void clearOutput()
    {
        for (const QString &name : outputFiles())
            QFile::remove(QDir(mOut).filePath(name));
    }

private slots:
    void initTestCase()
    {
        QString error;
        mKeystore = VaruFixtures::makeKeystore(mDir.filePath(QStringLiteral("release.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")},
                {QStringLiteral("eckey"), QStringLiteral("keypass3"), QStringLiteral("EC")}},
            &error);
        QVERIFY2(!mKeystore.isEmpty(), qPrintable(error));
        mApk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("app.apk"));
        QVERIFY(!mApk.isEmpty());
        mOut = mDir.filePath(QStringLiteral("out/"));
        QDir().mkpath(mOut);
    }
    void init() { clearOutput(); }

    // Signed with SHA-1 and aligned: only <base>_signed_zipalign.apk is left, and it has
    // one signer, the user's, even when the input carried another signature.
    void signsAndAligns_data()
    {
        QTest::addColumn<bool>("preSigned");
        QTest::newRow("unsigned input") << false;
        QTest::newRow("input signed by someone else") << true;
    }
    void signsAndAligns()
    {
        QFETCH(bool, preSigned);
        QString input = mApk;
        if (preSigned) {
            const QString other = VaruFixtures::makeKeystore(
                mDir.filePath(QStringLiteral("other.jks")), QStringLiteral("otherpass"),
                {{QStringLiteral("vendor"), QStringLiteral("otherpass")}});
            input = mDir.filePath(QStringLiteral("vendor.apk"));
            QFile::remove(input);
            int code = -1;
            VaruFixtures::run(QStringLiteral("jarsigner"),
                {"-keystore", other, "-storepass", "otherpass", "-signedjar", input, mApk,
                    "vendor"},
                &code);
            QCOMPARE(code, 0);
            QCOMPARE(VaruFixtures::verifiedSigners(input).size(), 1);
        }
        const QByteArray inputBytes
            = VaruFixtures::readEntry(input, QStringLiteral("AndroidManifest.xml"));
        VaruSignTool tool;
        QSignalSpy done(&tool, &VaruSignTool::sigApkSignCallback);
        QCOMPARE(tool.sign(input, mOut, mKeystore, QStringLiteral("storepass1"),
                     QStringLiteral("release"), QStringLiteral("keypass1")),
            0);
        QVERIFY(tool.isBusy());
        QVERIFY(done.wait(120000));
        QCOMPARE(done.last(), (QList<QVariant>{input, mOut, 0, QStringLiteral("签名成功:)")}));
        const QString base = QFileInfo(input).completeBaseName();
        QCOMPARE(outputFiles(), QStringList{base + QStringLiteral("_signed_zipalign.apk")});
        QString verdict;
        const QStringList signers
            = VaruFixtures::verifiedSigners(QDir(mOut).filePath(outputFiles().first()), &verdict);
        QCOMPARE(signers.size(), 1);
        QVERIFY2(signers.first().contains(QLatin1String("CN=Varu Test")), qPrintable(verdict));
        QCOMPARE(VaruFixtures::readEntry(input, QStringLiteral("AndroidManifest.xml")), inputBytes);
        if (preSigned)
            QCOMPARE(
                VaruFixtures::verifiedSigners(input).size(), 1); // the user's file is untouched
    }

    void refusedWithoutRunningTools_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("empty APK")
            << QStringList{"", "out/", "k", "storepass1", "release", "keypass1"};
        QTest::newRow("empty folder")
            << QStringList{"a.apk", "", "k", "storepass1", "release", "keypass1"};
        QTest::newRow("5-character store password")
            << QStringList{"a.apk", "out/", "k", "12345", "release", "keypass1"};
        QTest::newRow("no alias") << QStringList{
            "a.apk", "out/", "k", "storepass1", "", "keypass1"};
        QTest::newRow("3-character key password")
            << QStringList{"a.apk", "out/", "k", "storepass1", "release", "123"};
    }
    void refusedWithoutRunningTools()
    {
        QFETCH(QStringList, args);
        QTemporaryDir empty; // no tools at all: a tool run would fail differently
        VaruOs::setToolBaseForTesting(empty.path());
        VaruSignTool tool;
        VaruOs::setToolBaseForTesting(QString());
        QSignalSpy done(&tool, &VaruSignTool::sigApkSignCallback);
        QCOMPARE(tool.sign(args[0], args[1], args[2], args[3], args[4], args[5]), -2);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().at(3).toString(), QStringLiteral("参数错误"));
        QCOMPARE(tool.signSync(args[0], args[1], args[2], args[3], args[4], args[5]), -2);
        // With good arguments the missing jarsigner is what stops it.
        QCOMPARE(tool.sign(mApk, mOut, mKeystore, QStringLiteral("storepass1"),
                     QStringLiteral("release"), QStringLiteral("keypass1")),
            -3);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("alias");
        QTest::addColumn<QString>("keyPass");
        QTest::addColumn<bool>("apkExists");
        QTest::addColumn<int>("code");
        QTest::newRow("wrong key password") << "release"
                                            << "wrongpass" << true << -5;
        QTest::newRow("missing APK") << "release"
                                     << "keypass1" << false << -6;
        // keytool names the EC algorithm SHA256withECDSA: "SHA1withECD" is no algorithm.
        QTest::newRow("EC key") << "eckey"
                                << "keypass3" << true << -1;
    }
    void failures()
    {
        QFETCH(QString, alias);
        QFETCH(QString, keyPass);
        QFETCH(bool, apkExists);
        QFETCH(int, code);
        VaruSignTool tool;
        const QString apk = apkExists ? mApk : mDir.filePath(QStringLiteral("missing.apk"));
        QCOMPARE(tool.signSync(apk, mOut, mKeystore, QStringLiteral("storepass1"), alias, keyPass),
            code);
        QCOMPARE(tool.errorText(), VaruSignTool::errorText(code));
        QCOMPARE(outputFiles(), QStringList());
        QVERIFY(!tool.isBusy());
        // After a failure the next signing is accepted.
        QCOMPARE(tool.signSync(mApk, mOut, mKeystore, QStringLiteral("storepass1"),
                     QStringLiteral("release"), QStringLiteral("keypass1")),
            0);
    }

    void busyWhileSigning()
    {
        VaruSignTool tool;
        QSignalSpy done(&tool, &VaruSignTool::sigApkSignCallback);
        QCOMPARE(tool.sign(mApk, mOut, mKeystore, QStringLiteral("storepass1"),
                     QStringLiteral("release"), QStringLiteral("keypass1")),
            0);
        QCOMPARE(tool.sign(mApk, mOut, mKeystore, QStringLiteral("storepass1"),
                     QStringLiteral("release"), QStringLiteral("keypass1")),
            1);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().at(2).toInt(), 1);
        QCOMPARE(done.first().at(3).toString(), QStringLiteral("正在签名中，请稍候再试..."));
        QVERIFY(done.wait(120000));
        QCOMPARE(done.last().at(2).toInt(), 0);
    }

    void classification_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("code");
        QTest::newRow("signed") << "jar signed.\n\nWarning: SHA1 is considered a security risk"
                                << 0;
        QTest::newRow("unrecoverable key")
            << "java.security.UnrecoverableKeyException: Cannot recover key" << -5;
        QTest::newRow("not a private key")
            << "jarsigner: key associated with alias not a private key" << -5;
        QTest::newRow("cannot open") << "jarsigner: unable to open jar file: x.apk" << -6;
        QTest::newRow("signed before")
            << "jarsigner: java.util.zip.ZipException: invalid entry compressed size" << -7;
        QTest::newRow("usage") << "Please type jarsigner -help for usage" << -2;
        QTest::newRow("anything else") << "jarsigner error: something" << -1;
        QTest::newRow("nothing") << "" << -1;
    }
    void classification()
    {
        QFETCH(QString, output);
        QFETCH(int, code);
        QCOMPARE(VaruSignTool::classifyJarsigner(output), code);
    }

    void signatureAlgorithms()
    {
        QCOMPARE(VaruSignTool::signatureAlgorithm(QStringLiteral(
                     "Alias name: a\nSignature algorithm name: SHA256withRSA\nSubject Public Key "
                     "Algorithm: 2048-bit RSA key\nVersion: 3")),
            QStringLiteral("SHA1withRSA"));
        QCOMPARE(VaruSignTool::signatureAlgorithm(
                     QStringLiteral("Signature algorithm name: SHA256withECDSA\nVersion: 3")),
            QStringLiteral("SHA1withECD"));
        QCOMPARE(VaruSignTool::signatureAlgorithm(QString()), QStringLiteral("SHA1with"));
    }
};

QTEST_GUILESS_MAIN(TestSignTool)
#include "tst_signtool.moc"
