#include "service/apkdownloader.h"
#include "tasks/apkinfo.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"

#include <QSignalSpy>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;
Q_DECLARE_METATYPE(VaruSimulator::Fault)
Q_DECLARE_METATYPE(VaruSimulator::Endpoint)

class TestDownloader : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    VaruSimulator mForeign{
        QDir(mFixture.home.path()).filePath(QStringLiteral("foreign")).toStdString()};
    QString mApk;
    QString mHardened;

    // A record of the APK at FileReinforced, with the simulator holding its hardened copy.
    QSharedPointer<VaruApkInfo> reinforced(const QString &name = QStringLiteral("game.apk"))
    {
        const QString copy = QDir(mFixture.home.path()).filePath(QStringLiteral("in/") + name);
        QDir().mkpath(QFileInfo(copy).absolutePath());
        QFile::remove(copy);
        QFile::copy(mApk, copy);
        return VaruFixtures::recordForFile(copy, VaruApkInfo::FileReinforced);
    }

    static int run(VaruApkDownloader &request, const QSharedPointer<VaruApkInfo> &record)
    {
        request.setApkInfo(record);
        request.setStatus(1);
        if (!request.start())
            return request.status();
        request.setStatus(2);
        QSignalSpy status(&request, &VaruRequest::sigRequestStatusChanged);
        QElapsedTimer clock;
        clock.start();
        while (request.status() == 2 && clock.elapsed() < 60000)
            status.wait(100);
        return request.status();
    }

    void clearOutput()
    {
        QDir out(mFixture.outputDir);
        for (const QString &name : out.entryList(QDir::Files))
            out.remove(name);
    }

    // Starts a download whose file arrives slowly, as the queue starts one.
    void startSlowly(
        VaruApkDownloader &request, const QSharedPointer<VaruApkInfo> &record, int delayMs)
    {
        mFixture.sim.setFault(Endpoint::File, Fault::SlowBody);
        mFixture.sim.setSlowBodyDelayMs(delayMs);
        request.setApkInfo(record);
        request.setStatus(1);
        QVERIFY(request.start());
        request.setStatus(2);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mApk = VaruFixtures::makeApk(mFixture.home.path(), QStringLiteral("source.apk"),
            {QStringLiteral("com.example.app"), QStringLiteral("1.2"), 3, {}, 256 * 1024, false,
                true});
        QVERIFY(!mApk.isEmpty());
        QVERIFY(mFixture.sim.addHardenedJob(
            VaruApkParser::fileMd5(mApk).toStdString(), mApk.toStdString()));
        mHardened = QString::fromStdString(
            mFixture.sim.hardenedPath(VaruApkParser::fileMd5(mApk).toStdString()));
        QVERIFY(mForeign.start() > 0);
        QVERIFY(mForeign.addHardenedJob(
            VaruApkParser::fileMd5(mApk).toStdString(), mApk.toStdString()));
        mFixture.sim.setForeignBaseUrl(mForeign.baseUrl());
    }
    void init()
    {
        mFixture.sim.clearFaults();
        mFixture.sim.clearExchanges();
        mForeign.clearExchanges();
        clearOutput();
        VaruUserModel::instance()->setOutputDir(mFixture.outputDir);
    }

    // The service's redirect is followed with the session cookie; the file is the
    // hardened copy, byte for byte, and a real APK.
    void downloadsThroughRedirect()
    {
        auto record = reinforced();
        VaruApkDownloader request;
        QCOMPARE(run(request, record), 4);
        const QString out = QDir(mFixture.outputDir).filePath(QStringLiteral("game_varu.apk"));
        QCOMPARE(record->reinforcedFilePath(), out);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileDownloaded));
        QCOMPARE(VaruApkParser::fileMd5(out), VaruApkParser::fileMd5(mHardened));
        QVERIFY(VaruFixtures::run(QStringLiteral("aapt"), {"dump", "badging", out})
                    .contains("package: name='com.example.app'"));
        int code = -1;
        const QString verdict = VaruFixtures::run(
            QStringLiteral("apksigner"), {"verify", "--min-sdk-version", "19", out}, &code);
        QVERIFY2(code == 0, qPrintable(verdict));

        const auto exchanges = mFixture.sim.exchanges();
        QCOMPARE(exchanges.size(), size_t(2));
        QCOMPARE(QString::fromStdString(exchanges[0].target),
            QStringLiteral("/data/download?flag=downloadApp&id=%1").arg(record->md5()));
        QCOMPARE(QString::fromStdString(exchanges[0].cookieHeader), QStringLiteral("Cookie"));
        QCOMPARE(QString::fromStdString(exchanges[1].cookie), mFixture.cookie());
    }

    void outputNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << "game.apk" << QStringList() << "game_varu.apk";
        QTest::newRow("second") << "game.apk" << QStringList{"game_varu.apk"} << "game_varu1.apk";
        QTest::newRow("third") << "game.apk" << QStringList{"game_varu.apk", "game_varu1.apk"}
                               << "game_varu2.apk";
        QTest::newRow("last dot counts") << "my.app.apk" << QStringList() << "my.app_varu.apk";
        QTest::newRow("another download's part file")
            << "game.apk" << QStringList{"game_varu.apk.part"} << "game_varu1.apk";
    }
    void outputNames()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        for (const QString &file : existing) {
            QFile f(QDir(mFixture.outputDir).filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        auto record = reinforced(name);
        VaruApkDownloader request;
        QCOMPARE(run(request, record), 4);
        QCOMPARE(QFileInfo(record->reinforcedFilePath()).fileName(), expected);
        for (const QString &file : existing)
            QCOMPARE(
                QFileInfo(QDir(mFixture.outputDir).filePath(file)).size(), 0); // never overwritten
    }

    void failures_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Endpoint>("endpoint");
        QTest::addColumn<int>("error");
        QTest::newRow("200 instead of 302") << Fault::NoRedirect << Endpoint::Download << 112;
        QTest::newRow("invalid redirect") << Fault::RedirectInvalid << Endpoint::Download << 112;
        QTest::newRow("HTTP 503 at first") << Fault::Http503 << Endpoint::Download << 2;
        QTest::newRow("HTTP 500 for the file") << Fault::Http500 << Endpoint::File << 2;
        QTest::newRow("dropped file") << Fault::Drop << Endpoint::File << 3;
        QTest::newRow("cut-off file") << Fault::Truncate << Endpoint::File << 3;
    }
    void failures()
    {
        QFETCH(Fault, fault);
        QFETCH(Endpoint, endpoint);
        QFETCH(int, error);
        mFixture.sim.setFault(endpoint, fault);
        auto record = reinforced();
        VaruApkDownloader request;
        QCOMPARE(run(request, record), -1);
        // A connection closed early shows either as a transport error or, when Qt takes
        // the close as the end of the body, as a body shorter than announced.
        if (error == 3)
            QVERIFY2(request.errorCode() == 3 || request.errorCode() == 112,
                qPrintable(QString::number(request.errorCode())));
        else
            QCOMPARE(request.errorCode(), error);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileReinforced));
        QCOMPARE(record->reinforcedFilePath(), QString());
        if (fault == Fault::NoRedirect)
            QVERIFY(QDir(mFixture.outputDir).entryList(QDir::Files).isEmpty());
    }

    void missingOutputFolder()
    {
        VaruUserModel::instance()->setOutputDir(
            QDir(mFixture.home.path()).filePath(QStringLiteral("no-such-dir")));
        auto record = reinforced();
        VaruApkDownloader request;
        QCOMPARE(run(request, record), -1);
        QCOMPARE(request.errorCode(), 109);
        // Nothing asked for (a file fetch that the network layer retries for the row before
        // may still arrive: it is not this step's).
        for (const auto &exchange : mFixture.sim.exchanges())
            QVERIFY2(exchange.target.rfind("/data/download", 0) != 0, exchange.target.c_str());
    }

    void nothingSentForWrongState()
    {
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileUploaded);
        VaruApkDownloader request;
        QCOMPARE(run(request, record), -1);
        QCOMPARE(request.errorCode(), 0);
        QVERIFY(mFixture.sim.exchanges().empty());
    }

    // The user's session never goes to a host other than the service's.
    void cookieWithheldFromForeignHost()
    {
        mFixture.sim.setFault(Endpoint::Download, Fault::RedirectForeign);
        auto record = reinforced();
        VaruApkDownloader request;
        QCOMPARE(run(request, record), 4);
        const auto foreign = mForeign.exchanges();
        QCOMPARE(foreign.size(), size_t(1));
        QCOMPARE(QString::fromStdString(foreign[0].cookie), QString());
        QCOMPARE(QString::fromStdString(mFixture.sim.exchanges()[0].cookie), mFixture.cookie());
    }

    void cancelDuringTransfer()
    {
        auto record = reinforced();
        VaruApkDownloader request;
        startSlowly(request, record, 50);
        const QString out = QDir(mFixture.outputDir).filePath(QStringLiteral("game_varu.apk"));
        // Arriving, the file has a name of its own that no one takes for a finished output.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out + QStringLiteral(".part")).size() > 0, 30000);
        QVERIFY(!QFileInfo::exists(out));
        request.cancel();
        QCOMPARE(request.status(), 3);
        QCOMPARE(request.errorCode(), 0);
        QCOMPARE(QDir(mFixture.outputDir).entryList(QDir::Files), QStringList()); // nothing left
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileReinforced));
        mFixture.sim.setSlowBodyDelayMs(200);
    }

    // The output folder is removed while the file arrives: the download fails and no file
    // appears under the output name when the folder comes back.
    void outputFolderVanishesMidway()
    {
        auto record = reinforced();
        VaruApkDownloader request;
        startSlowly(request, record, 2);
        QDir out(mFixture.outputDir);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out.filePath("game_varu.apk.part")).size() > 0, 30000);
        QVERIFY(out.removeRecursively());
        QVERIFY(QDir().mkpath(mFixture.outputDir));
        QTRY_COMPARE_WITH_TIMEOUT(request.status(), -1, 120000);
        QCOMPARE(request.errorCode(), 112);
        QCOMPARE(out.entryList(QDir::Files), QStringList());
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileReinforced));
        mFixture.sim.setSlowBodyDelayMs(200);
    }
};

QTEST_GUILESS_MAIN(TestDownloader)
#include "tst_downloader.moc"
