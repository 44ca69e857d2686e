#include "platform/os/toolpaths.h"
#include "tasks/apkparser.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/packing.h"
#include "tools/aliasfetchtool.h"
#include "tools/packtool.h"
#include "tools/signtool.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kKey = QStringLiteral("UMENG_CHANNEL");
const QString kStorePass = QStringLiteral("storepass1");
const QString kKeyPass = QStringLiteral("keypass1");

} // namespace

// What users feed the client by mistake, through the real tools: each input gets a clear
// message, and nothing half-made is left in the output folder under an output's name.
class TestBadInput : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mApk;
    QString mKeystore;
    QString mOut;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = mDir.filePath(name);
        return VaruFixtures::writeFile(path, bytes) ? path : QString();
    }
    QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The input files the table rows name, made once.
    QString input(const QString &kind)
    {
        if (kind == QLatin1String("APK"))
            return mApk;
        if (kind == QLatin1String("text"))
            return write(QStringLiteral("notes.apk"), "just some text\n");
        if (kind == QLatin1String("empty"))
            return write(QStringLiteral("empty.apk"), QByteArray());
        if (kind == QLatin1String("truncated")) {
            const QByteArray whole = bytesOf(mApk);
            return write(QStringLiteral("cut.apk"), whole.left(whole.size() / 2));
        }
        if (kind == QLatin1String("spaces and CJK")) {
            QDir().mkpath(mDir.filePath(QStringLiteral("我的 应用")));
            const QString path = mDir.filePath(QStringLiteral("我的 应用/游戏 客户端.apk"));
            QFile::remove(path);
            return QFile::copy(mApk, path) ? path : QString();
        }
        return mDir.filePath(QStringLiteral("missing.apk"));
    }
    QStringList outputs() const { return QDir(mOut).entryList(QDir::Files, QDir::Name); }
    void clearOutput()
    {
        QDir(mOut).removeRecursively();
        QDir().mkpath(mOut);
    }
    // Runs a packing to its end; returns the last code reported.
    static int runPack(
        VaruPackTool &tool, const QString &apk, const QString &params, const QString &out)
    {
        const QList<int> codes = VaruFixtures::runPack(tool, apk, kKey, params, out);
        return codes.isEmpty() ? 99 : codes.last();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mApk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("app.apk"));
        QVERIFY(!mApk.isEmpty());
        mKeystore = VaruFixtures::makeKeystore(
            mDir.filePath(QStringLiteral("k.jks")), kStorePass, {{"release", kKeyPass}});
        QVERIFY(!mKeystore.isEmpty());
        mOut = mDir.filePath(QStringLiteral("out/"));
    }
    void init() { clearOutput(); }

    void reading_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("not an APK") << "text" << -3 << "Apk解析失败";
        QTest::newRow("empty file") << "empty" << -3 << "Apk解析失败";
        QTest::newRow("truncated APK") << "truncated" << -3 << "Apk解析失败";
        QTest::newRow("path with spaces and CJK") << "spaces and CJK" << 0 << "";
    }
    void reading()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(QString, text);
        VaruApkParser parser;
        QSignalSpy done(&parser, &VaruApkParser::sigApkParseResult);
        QVERIFY(parser.parse(input(kind)));
        QVERIFY(done.wait(60000));
        QCOMPARE(parser.errorCode(), code);
        QCOMPARE(parser.errorText(), text);
        if (code == 0)
            QCOMPARE(parser.packageName(), QStringLiteral("com.example.app"));
    }

    void signing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("keystore");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<int>("code");
        QTest::newRow("not an APK") << "text"
                                    << "keystore"
                                    << "out/" << -6;
        QTest::newRow("empty file") << "empty"
                                    << "keystore"
                                    << "out/" << -6;
        QTest::newRow("truncated APK") << "truncated"
                                       << "keystore"
                                       << "out/" << -6;
        QTest::newRow("path with spaces and CJK") << "spaces and CJK"
                                                  << "keystore"
                                                  << "out/" << 0;
        QTest::newRow("keystore that is no keystore") << "APK"
                                                      << "text"
                                                      << "out/" << -1;
        QTest::newRow("output folder gone") << "APK"
                                            << "keystore"
                                            << "gone/" << -1;
    }
    void signing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, keystore);
        QFETCH(QString, outputDir);
        QFETCH(int, code);
        const QString apk = input(kind);
        const QString keys = keystore == QLatin1String("keystore") ? mKeystore : input(keystore);
        const QString out = mDir.filePath(outputDir);
        VaruSignTool tool;
        QCOMPARE(
            tool.signSync(apk, out, keys, kStorePass, QStringLiteral("release"), kKeyPass), code);
        QVERIFY(!tool.errorText().isEmpty());
        const QString base = QFileInfo(apk).completeBaseName();
        if (code == 0) {
            QCOMPARE(outputs(), QStringList{base + QStringLiteral("_signed_zipalign.apk")});
            QCOMPARE(
                VaruFixtures::verifiedSigners(QDir(mOut).filePath(outputs().first())).size(), 1);
        } else {
            QCOMPARE(outputs(), QStringList());
            QVERIFY(!QFileInfo::exists(out) || QDir(out).isEmpty());
        }
    }

    void packing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("not an APK") << "text"
                                    << "a;"
                                    << "" << -6 << "无法打开APK文件";
        QTest::newRow("empty file") << "empty"
                                    << "a;"
                                    << "" << -6 << "无法打开APK文件";
        QTest::newRow("truncated APK") << "truncated"
                                       << "a;"
                                       << "" << -6 << "无法打开APK文件";
        QTest::newRow("path with spaces and CJK") << "spaces and CJK"
                                                  << "华为;oppo;"
                                                  << "" << 0 << "打包成功:)";
        QTest::newRow("output folder gone") << "APK"
                                            << "a;"
                                            << "gone/" << -1 << "打包失败:(";
        QTest::newRow("output path is a file") << "APK"
                                               << "a;"
                                               << "notes.apk/" << -1 << "打包失败:(";
        QTest::newRow("1,000-character channel") << "APK"
                                                 << "oppo;" + QString(1000, 'c') + ";"
                                                 << "" << -5 << "渠道信息配置错误";
    }
    void packing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, params);
        QFETCH(QString, outputDir);
        QFETCH(int, code);
        QFETCH(QString, text);
        const QString apk = input(kind);
        input(QStringLiteral("text")); // "notes.apk" exists for the row that names it
        const QString out = outputDir.isEmpty() ? mOut : mDir.filePath(outputDir);
        VaruPackTool tool;
        QCOMPARE(runPack(tool, apk, params, out), code);
        QCOMPARE(tool.errorText(), text);
        QStringList expected;
        if (code == 0) {
            QStringList channels;
            VaruPackTool::parseChannels(params, &channels);
            for (const QString &channel : channels)
                expected << QFileInfo(apk).completeBaseName() + "_" + channel + ".apk";
            expected.sort();
        }
        QCOMPARE(outputs(), expected);
        for (const QString &name : expected) {
            const QString dump = VaruFixtures::run(QStringLiteral("aapt"),
                {"dump", "--include-meta-data", "badging", QDir(mOut).filePath(name)});
            QVERIFY2(dump.contains("value='" + name.section('_', -1).chopped(4) + "'"),
                qPrintable(dump));
        }
    }

    // Ten thousand channels give ten thousand channel APKs, each with its own channel.
    void tenThousandChannels()
    {
#ifdef __SANITIZE_ADDRESS__
        // Every channel starts zip, and starting a process from a sanitized one is slow:
        // the sanitized run packs fewer channels through the same code.
        const int count = 300;
#else
        const int count = 10000;
#endif
        QString params;
        for (int i = 0; i < count; ++i)
            params += QStringLiteral("c%1;").arg(i);
        VaruPackTool tool;
        QCOMPARE(runPack(tool, mApk, params, mOut), 0);
        QCOMPARE(outputs().size(), count);
        for (const QString &channel :
            {QStringLiteral("c0"), QStringLiteral("c%1").arg(count - 1)}) {
            const QString dump = VaruFixtures::run(QStringLiteral("aapt"),
                {"dump", "--include-meta-data", "badging",
                    QDir(mOut).filePath(QStringLiteral("app_%1.apk").arg(channel))});
            QVERIFY(dump.contains("value='" + channel + "'"));
        }
    }

    // A tool fails on the way, as with a full disk: zip cannot put the channel's manifest
    // into the copy (which still carries the source's channel), or zipalign stops halfway
    // through the aligned APK. Neither may leave a file under an output's name.
    void toolThatFails_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("zip while packing")
            << int(VaruOs::Tool::Zip)
            << QByteArray("echo 'zip I/O error: No space left on device' >&2\nexit 14\n") << -1
            << "打包失败:(";
        QTest::newRow("zipalign while signing")
            << int(VaruOs::Tool::Zipalign) << QByteArray("echo half > \"$5\"\nexit 1\n") << -8
            << "签名工具异常";
    }
    void toolThatFails()
    {
        QFETCH(int, failing);
        QFETCH(QByteArray, script);
        QFETCH(int, code);
        QFETCH(QString, text);
        QTemporaryDir tools;
        using VaruOs::Tool;
        for (Tool tool :
            {Tool::Keytool, Tool::Jarsigner, Tool::Zipalign, Tool::Aapt, Tool::Zip, Tool::Unzip}) {
            const QString path = VaruOs::toolPath(tool, tools.path());
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (int(tool) == failing)
                VaruFixtures::writeScript(path, script);
            else
                QVERIFY(QFile::link(VaruOs::toolPath(tool), path));
        }
        VaruOs::setToolBaseForTesting(tools.path());
        int result = 0;
        QString message;
        if (failing == int(Tool::Zip)) {
            VaruPackTool packer;
            result = runPack(packer, mApk, QStringLiteral("oppo;"), mOut);
            message = packer.errorText();
        } else {
            VaruSignTool signer;
            result = signer.signSync(mApk, mOut, mKeystore, kStorePass, "release", kKeyPass);
            message = VaruSignTool::errorText(result);
        }
        VaruOs::setToolBaseForTesting(QString());
        QCOMPARE(result, code);
        QCOMPARE(message, text);
        QCOMPARE(outputs(), QStringList());
    }

    void keystoreThatIsNoKeystore()
    {
        VaruAliasFetchTool fetch;
        QSignalSpy listed(&fetch, &VaruAliasFetchTool::sigAliasListCallback);
        fetch.getAliasName(input(QStringLiteral("text")), kStorePass);
        QVERIFY(listed.wait(60000));
        QCOMPARE(listed.first().at(3).toInt(), int(VaruAliasFetchTool::NotAListing));
        QCOMPARE(listed.first().at(2).toStringList(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
