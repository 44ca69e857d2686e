#include "service/apkuploader.h"
#include "tasks/apkinfo.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"

#include <QSignalSpy>
#include <QtTest>

using Fault = VaruSimulator::Fault;
using Endpoint = VaruSimulator::Endpoint;
Q_DECLARE_METATYPE(VaruSimulator::Fault)

namespace {

// Runs an upload of the record to its end; returns the final status.
int runUpload(VaruApkUploader &uploader)
{
    QSignalSpy status(&uploader, &VaruRequest::sigRequestStatusChanged);
    uploader.setStatus(VaruRequest::StatusPending);
    if (!uploader.start())
        return uploader.status();
    uploader.setStatus(VaruRequest::StatusRunning);
    for (int i = 0; i < 600 && uploader.status() == VaruRequest::StatusRunning; ++i)
        status.wait(100);
    return uploader.status();
}

} // namespace

class TestUploader : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    QString mApk;

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mApk = VaruFixtures::makeApk(mFixture.home.path(), QStringLiteral("demo app.apk"));
        QVERIFY(!mApk.isEmpty());
    }
    void init()
    {
        mFixture.sim.clearFaults();
        mFixture.sim.clearExchanges();
    }

    // What arrives at the service: four parts in order, exactly as the service expects them.
    void uploadSucceeds()
    {
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        QCOMPARE(runUpload(uploader), int(VaruRequest::StatusFinished));
        QCOMPARE(uploader.errorCode(), 0);
        QCOMPARE(record->fileState(), int(VaruApkInfo::FileUploaded));
        QCOMPARE(record->taskState(), int(VaruApkInfo::TaskCompleted));
        QVERIFY(record->uploadAppName().startsWith(QLatin1String("app-")));
        QVERIFY(record->uploadRovan().startsWith(QLatin1String("rovan-")));

        const auto exchanges = mFixture.sim.exchanges();
        QCOMPARE(exchanges.size(), size_t(1));
        const VaruSimulator::Exchange &sent = exchanges[0];
        QCOMPARE(QString::fromStdString(sent.target), QStringLiteral("/data/upload"));
        QCOMPARE(QString::fromStdString(sent.cookieHeader), QStringLiteral("cookie"));
        QCOMPARE(QString::fromStdString(sent.cookie), mFixture.cookie());
        QVERIFY(QString::fromStdString(sent.contentType)
                    .startsWith(QLatin1String("multipart/form-data; boundary=")));
        QCOMPARE(sent.partHeaders.size(), size_t(4));
        QCOMPARE(QString::fromStdString(sent.partHeaders[0]),
            QStringLiteral("Content-Disposition: form-data; name=\"name\""));
        QCOMPARE(QString::fromStdString(sent.partHeaders[1]),
            QStringLiteral("Content-Disposition: form-data; name=\"size\""));
        QCOMPARE(QString::fromStdString(sent.partHeaders[2]),
            QStringLiteral("Content-Disposition: form-data; name=\"type\""));
        QCOMPARE(QString::fromStdString(sent.partHeaders[3]),
            QStringLiteral(
                "Content-Disposition: form-data; name=\"app\";filename=\"demo app.apk\"\r\n"
                "Content-Type: application/octet-stream"));
        QCOMPARE(QString::fromStdString(sent.fields[0].second), QStringLiteral("demo app.apk"));
        QCOMPARE(
            QString::fromStdString(sent.fields[1].second), QString::number(QFileInfo(mApk).size()));
        QCOMPARE(QString::fromStdString(sent.fields[2].second),
            QStringLiteral("application/octet-stream"));
        QCOMPARE(sent.fileBytes, QFileInfo(mApk).size());
        QCOMPARE(QString::fromStdString(sent.fileMd5), record->md5());
    }

    void serviceAnswers_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("error");
        QTest::newRow("login") << Fault::Code << "\"login\"" << 117;
        QTest::newRow("LOGIN") << Fault::Code << "\"LOGIN\"" << 117;
        QTest::newRow("register") << Fault::Code << "\"register\"" << 118;
        QTest::newRow("10001 refused") << Fault::Code << "10001" << 125;
        QTest::newRow("10004 unsigned") << Fault::Code << "10004" << 115;
        QTest::newRow("10009 risk") << Fault::Code << "10009" << 116;
        QTest::newRow("other number") << Fault::Code << "3" << 104;
        QTest::newRow("number as text") << Fault::Code << "\"12\"" << 104;
        QTest::newRow("other word: success") << Fault::Code << "\"busy\"" << 0;
        QTest::newRow("array: no answer") << Fault::JsonArray << "" << 4;
        QTest::newRow("invalid JSON") << Fault::InvalidJson << "" << 4;
        QTest::newRow("HTTP 500") << Fault::Http500 << "" << 2;
        QTest::newRow("HTTP 503") << Fault::Http503 << "" << 2;
        QTest::newRow("HTTP 404") << Fault::Http404 << "" << 1;
        QTest::newRow("dropped") << Fault::Drop << "" << 3;
        QTest::newRow("cut-off body") << Fault::Truncate << "" << 3;
    }
    void serviceAnswers()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, code);
        QFETCH(int, error);
        mFixture.sim.setFault(Endpoint::Upload, fault, code.toStdString());
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        const int status = runUpload(uploader);
        QCOMPARE(uploader.errorCode(), error);
        QCOMPARE(status, error == 0 ? 4 : -1);
        QCOMPARE(record->fileState(), error == 0 ? 10 : 1);
        if (error == 0)
            QCOMPARE(record->uploadAppName(), QString());
    }

    void connectionRefused()
    {
        setServiceBaseUrlForTesting(QStringLiteral("http://127.0.0.1:1"));
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        QCOMPARE(runUpload(uploader), -1);
        setServiceBaseUrlForTesting(QString::fromStdString(mFixture.sim.baseUrl()));
        QCOMPARE(uploader.errorCode(), 3);
        QCOMPARE(uploader.errorString(), QStringLiteral("网络异常"));
    }

    // 300 MiB exactly is sent; one byte more is refused before anything is sent. Sparse
    // files keep this cheap.
    void sizeLimitBorder_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("error");
        QTest::newRow("exactly 300 MiB") << qint64(314572800) << 0;
        QTest::newRow("one byte more") << qint64(314572801) << 125;
    }
    void sizeLimitBorder()
    {
        QFETCH(qint64, size);
        QFETCH(int, error);
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.apk")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(size));
        big.close();
        auto record = VaruFixtures::recordForFile(big.fileName(), VaruApkInfo::FileWaiting);
        QStringList texts;
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            if (!record->stateText().isEmpty() && !texts.contains(record->stateText()))
                texts << record->stateText();
        });
        probe.start(20);
        QCOMPARE(runUpload(uploader), error == 0 ? 4 : -1);
        QCOMPARE(uploader.errorCode(), error);
        if (error == 0) {
            QCOMPARE(mFixture.sim.exchanges().back().fileBytes, size);
            QVERIFY(!texts.isEmpty());
            const QRegularExpression progress(QStringLiteral(
                "^上传中\\.\\.\\.\\(\\d+\\.\\d%\\) 速度: \\d+\\.\\d\\d (B|KB|MB|GB)/s$"));
            for (const QString &text : texts)
                QVERIFY2(progress.match(text).hasMatch(), qPrintable(text));
        } else {
            QVERIFY(mFixture.sim.exchanges().empty());
        }
    }

    void nothingSentForWrongStateOrMissingFile()
    {
        auto uploaded = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileUploaded);
        VaruApkUploader uploader;
        uploader.setApkInfo(uploaded);
        QCOMPARE(runUpload(uploader), -1);
        QCOMPARE(uploader.errorCode(), 0); // dropped, not failed with a message

        QTemporaryDir dir;
        const QString gone = VaruFixtures::makeApk(dir.path(), QStringLiteral("gone.apk"));
        auto missing = VaruFixtures::recordForFile(gone, VaruApkInfo::FileWaiting);
        QFile::remove(gone);
        VaruApkUploader second;
        second.setApkInfo(missing);
        QCOMPARE(runUpload(second), -1);
        QCOMPARE(second.errorCode(), 101);
        QVERIFY(mFixture.sim.exchanges().empty());

        VaruApkUploader none;
        none.setStatus(1);
        QVERIFY(!none.start());
    }

    void progressAboveTotalIsFull()
    {
        auto record = VaruFixtures::recordForFile(mApk, VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        uploader.setStatus(VaruRequest::StatusRunning);
        uploader.onUploadProgress(500, -1);
        QVERIFY(record->stateText().startsWith(QStringLiteral("上传中...(100.0%) 速度: ")));
        uploader.setStatus(VaruRequest::StatusPending);
        uploader.onUploadProgress(10, 100);
        QVERIFY(record->stateText().startsWith(QStringLiteral("上传中...(100.0%)")));
    }

    // A cancelled upload ends with status 3 and no error, not as a failure.
    void cancelWhileSending()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.apk")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(200 * 1024 * 1024));
        big.close();
        auto record = VaruFixtures::recordForFile(big.fileName(), VaruApkInfo::FileWaiting);
        VaruApkUploader uploader;
        uploader.setApkInfo(record);
        uploader.setStatus(VaruRequest::StatusPending);
        QVERIFY(uploader.start());
        uploader.setStatus(VaruRequest::StatusRunning);
        QTRY_VERIFY_WITH_TIMEOUT(!record->stateText().isEmpty(), 30000);
        uploader.cancel();
        QCOMPARE(uploader.status(), 3);
        QCOMPARE(uploader.errorCode(), 0);
        QCOMPARE(record->fileState(), 1);
    }
};

QTEST_GUILESS_MAIN(TestUploader)
#include "tst_uploader.moc"
