// Uploads and downloads a ~300 MiB APK through the service simulator (a separate
// process) and prints the client's time, throughput and peak memory growth.
//   bench_transfer [SIMULATOR_PROGRAM]
#include "core/usermodel.h"
#include "service/apkdownloader.h"
#include "service/apkuploader.h"
#include "service/serviceurl.h"
#include "tasks/apkinfo.h"
#include "tasks/apkparser.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Peak resident memory of this process so far, in KiB.
long peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Runs a step to its end; returns its final status.
int run(VaruRequest &request)
{
    QEventLoop loop;
    QObject::connect(
        &request, &VaruRequest::sigRequestStatusChanged, &loop, [&](int, int status, int) {
            if (status != VaruRequest::StatusRunning)
                loop.quit();
        });
    request.setStatus(VaruRequest::StatusPending);
    if (!request.start())
        return request.status();
    request.setStatus(VaruRequest::StatusRunning);
    loop.exec();
    return request.status();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString simulator = argc > 1
        ? QString::fromLocal8Bit(argv[1])
        : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/varusim");
    QTemporaryDir home;
    VaruFixtures::isolateUserFolders(home);

    const qint64 assetSize = 290LL * 1024 * 1024;
    VaruFixtures::ApkSpec shape;
    shape.assetSize = assetSize;
    shape.storeAsset = true;
    shape.randomAsset = true;
    QString error;
    const QString apk
        = VaruFixtures::makeApk(home.path(), QStringLiteral("big.apk"), shape, &error);
    if (apk.isEmpty()) {
        fprintf(stderr, "cannot make the APK: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 size = QFileInfo(apk).size();

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simulator,
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--no-sign"),
            QStringLiteral("--polls"), QStringLiteral("0"), QStringLiteral("--data-dir"),
            home.filePath(QStringLiteral("sim"))});
    if (!sim.waitForReadyRead(30000)) {
        fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    const QString url = QString::fromUtf8(sim.readLine()).trimmed().section(QLatin1Char(' '), -1);
    setServiceBaseUrlForTesting(url);
    VaruUserModel::instance()->login(QStringLiteral("1"), QStringLiteral("bench"));
    const QString out = home.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    VaruUserModel::instance()->setOutputDir(out);

    auto record = VaruFixtures::recordForFile(apk, VaruApkInfo::FileWaiting);
    const long before = peakRssKiB();
    QElapsedTimer clock;
    clock.start();
    VaruApkUploader uploader;
    uploader.setApkInfo(record);
    const int uploaded = run(uploader);
    const qint64 uploadMs = clock.restart();
    const long afterUpload = peakRssKiB();

    // Hardening is the simulator's business; the bench asks for it over HTTP as the client does.
    QProcess curl;
    curl.start(QStringLiteral("curl"),
        {QStringLiteral("-s"), QStringLiteral("-H"),
            QStringLiteral("cookie: uin=1;skey=bench;from=pctool"), QStringLiteral("-d"),
            QStringLiteral("flag=serveBox&jiagu=1&rovan=0&wexly=0&md5=") + record->md5(),
            url + QStringLiteral("/data/serve")});
    curl.waitForFinished(600000);
    record->setFileState(VaruApkInfo::FileReinforced);

    clock.restart();
    VaruApkDownloader downloader;
    downloader.setApkInfo(record);
    const int downloaded = run(downloader);
    const qint64 downloadMs = clock.elapsed();
    const long after = peakRssKiB();

    // The same transfers by curl, as the reference.
    auto timed = [](const QStringList &args) {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral("curl"), args);
        process.waitForFinished(-1);
        return clock.elapsed();
    };
    const QString cookie = QStringLiteral("cookie: uin=1;skey=bench;from=pctool");
    const qint64 curlUpload = timed({QStringLiteral("-s"), QStringLiteral("-H"), cookie,
        QStringLiteral("-F"), QStringLiteral("name=big.apk"), QStringLiteral("-F"),
        QStringLiteral("size=%1").arg(size), QStringLiteral("-F"),
        QStringLiteral("type=application/octet-stream"), QStringLiteral("-F"),
        QStringLiteral("app=@") + apk, url + QStringLiteral("/data/upload")});
    const qint64 curlDownload = timed(
        {QStringLiteral("-s"), QStringLiteral("-o"), home.filePath(QStringLiteral("curl.apk")),
            url + QStringLiteral("/files/") + record->md5() + QStringLiteral(".apk")});
    sim.terminate();
    sim.waitForFinished(10000);

    const double mib = double(size) / 1048576.0;
    printf("transfer: %.1f MiB APK\n", mib);
    printf("  upload   status %d  %.2f s  %.1f MiB/s\n", uploaded, uploadMs / 1000.0,
        mib * 1000.0 / qMax<qint64>(1, uploadMs));
    printf("  download status %d  %.2f s  %.1f MiB/s\n", downloaded, downloadMs / 1000.0,
        mib * 1000.0 / qMax<qint64>(1, downloadMs));
    printf("  curl     upload %.2f s  %.1f MiB/s, download %.2f s  %.1f MiB/s\n",
        curlUpload / 1000.0, mib * 1000.0 / qMax<qint64>(1, curlUpload), curlDownload / 1000.0,
        mib * 1000.0 / qMax<qint64>(1, curlDownload));
    printf("  throughput against curl: upload %.2f, download %.2f (target at least 0.5)\n",
        double(curlUpload) / qMax<qint64>(1, uploadMs),
        double(curlDownload) / qMax<qint64>(1, downloadMs));
    printf("  client peak memory growth: upload %.1f MiB, all %.1f MiB (limit 64 MiB)\n",
        (afterUpload - before) / 1024.0, (after - before) / 1024.0);
    return uploaded == VaruRequest::StatusFinished && downloaded == VaruRequest::StatusFinished ? 0
                                                                                                : 1;
}
