// Measures the client's own work against reference tools in the same run and prints one
// table row per figure: "figure | ours | reference | ratio | target".
//   bench_figures [--quick]
#include "core/datacenter.h"
#include "core/usermodel.h"
#include "tasks/apkinfo.h"
#include "tasks/apkparser.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"
#include "tools/packtool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIdentityProxyModel>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString kKey = QStringLiteral("UMENG_CHANNEL");

void row(const char *figure, double ours, double reference, const char *unit, const char *target)
{
    const double ratio = reference > 0 ? ours / reference : 0;
    printf("| %-58s | %9.3f %-4s | %9.3f %-4s | %6.2f | %-22s |\n", figure, ours, unit, reference,
        unit, ratio, target);
    fflush(stdout);
}

double shell(const QString &script)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    process.waitForFinished(-1);
    return clock.elapsed() / 1000.0;
}

QString channels(int count)
{
    QString params;
    for (int i = 0; i < count; ++i)
        params += QStringLiteral("ch%1;").arg(i);
    return params;
}

// Runs a packing to its end; seconds.
double pack(VaruPackTool &tool, const QString &apk, const QString &params, const QString &out,
    const QString &keystore)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject::connect(&tool, &VaruPackTool::sigApkPackCallback, &loop, &QEventLoop::quit);
    QObject::connect(&tool, &VaruPackTool::sigApkPackSignCallback, &loop, &QEventLoop::quit);
    const int started = keystore.isEmpty()
        ? tool.pack(apk, kKey, params, out)
        : tool.packAndSign(apk, kKey, params, out, keystore, QStringLiteral("storepass1"),
            QStringLiteral("release"), QStringLiteral("keypass1"));
    if (started == 0)
        loop.exec();
    return clock.elapsed() / 1000.0;
}

// Counts what a view asks of the model.
class CountingProxy : public QIdentityProxyModel
{
public:
    mutable int calls = 0;
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++calls;
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir home;
    VaruFixtures::isolateUserFolders(home);
    const QString out = home.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString keystore = VaruFixtures::makeKeystore(home.filePath(QStringLiteral("k.jks")),
        QStringLiteral("storepass1"), {{QStringLiteral("release"), QStringLiteral("keypass1")}});
    printf("| %-58s | %-14s | %-14s | %-6s | %-22s |\n", "figure", "ours", "reference", "ratio",
        "target");
    printf("|%s|%s|%s|%s|%s|\n", QByteArray(60, '-').constData(), QByteArray(16, '-').constData(),
        QByteArray(16, '-').constData(), QByteArray(8, '-').constData(),
        QByteArray(24, '-').constData());

    const int channelCount = quick ? 4 : 20;
    for (bool stored : {true, false}) {
        VaruFixtures::ApkSpec shape;
        shape.assetSize = 50LL * 1024 * 1024;
        shape.randomAsset = true;
        shape.storeAsset = stored;
        const QString apk = VaruFixtures::makeApk(home.path(),
            stored ? QStringLiteral("big-stored.apk") : QStringLiteral("big-deflated.apk"), shape);
        const char *kind = stored ? "stored" : "deflated";

        // Plain packing against the same per-channel file work done by cp and zip.
        VaruPackTool tool;
        const double ours = pack(tool, apk, channels(channelCount), out, QString()) / channelCount;
        const QString manifestDir = home.filePath(QStringLiteral("m"));
        QDir().mkpath(manifestDir);
        VaruFixtures::run(QStringLiteral("unzip"),
            {QStringLiteral("-o"), QStringLiteral("-q"), apk, QStringLiteral("AndroidManifest.xml"),
                QStringLiteral("-d"), manifestDir});
        const double reference
            = shell(QStringLiteral(
                  "cd '%1' && for i in $(seq %2); do cp '%3' '%4/ref_$i.apk' && zip -q -g "
                  "'%4/ref_$i.apk' AndroidManifest.xml; done")
                        .arg(manifestDir)
                        .arg(channelCount)
                        .arg(apk, out))
            / channelCount;
        row(qPrintable(QStringLiteral("plain packing, s/channel (%1 ch, 50 MB, %2)")
                           .arg(channelCount)
                           .arg(kind)),
            ours, reference, "s", "ratio <= 1.3");

        // Packing and signing against jarsigner and zipalign alone.
        const int signCount = quick ? 2 : 5;
        const double oursSigned = pack(tool, apk, channels(signCount), out, keystore) / signCount;
        const double referenceSigned
            = shell(QStringLiteral(
                  "for i in $(seq %1); do jarsigner -keystore '%2' -storepass storepass1 -keypass "
                  "keypass1 -digestalg SHA1 -sigalg SHA1withRSA -signedjar '%3/s_$i.apk' '%4' "
                  "release "
                  "&& zipalign -f 4 '%3/s_$i.apk' '%3/a_$i.apk'; done")
                        .arg(signCount)
                        .arg(keystore, out, apk))
            / signCount;
        row(qPrintable(QStringLiteral("packing and signing, s/channel (%1)").arg(kind)), oursSigned,
            referenceSigned, "s", "ratio <= 1.2");

        if (stored && QFileInfo::exists(QStringLiteral("/usr/bin/apktool"))) {
            const double apktool = shell(QStringLiteral(
                "cd '%1' && rm -rf dec && apktool d -q -f -o dec '%2' && sed -i "
                "'s/\"none\"/\"ch0\"/' "
                "dec/AndroidManifest.xml && apktool b -q -o rebuilt.apk dec && jarsigner -keystore "
                "'%3' "
                "-storepass storepass1 -keypass keypass1 -signedjar rs.apk rebuilt.apk release && "
                "zipalign -f 4 rs.apk ra.apk")
                                             .arg(home.path(), apk, keystore));
            row("apktool route vs ours (packing and signing), s/channel", oursSigned, apktool, "s",
                "ours 5x faster");
        }
        for (const QString &name : QDir(out).entryList(QDir::Files))
            QFile::remove(QDir(out).filePath(name));
    }

    // MD5 of a large file through the APK reader's hashing against md5sum.
    {
        const qint64 size = quick ? 256LL * 1024 * 1024 : 1024LL * 1024 * 1024;
        const QString big = home.filePath(QStringLiteral("hash.bin"));
        shell(QStringLiteral("head -c %1 /dev/urandom > '%2'").arg(size).arg(big));
        QElapsedTimer clock;
        clock.start();
        const QString md5 = VaruApkParser::fileMd5(big);
        const double ours = clock.elapsed() / 1000.0;
        const double reference = shell(QStringLiteral("md5sum '%1'").arg(big));
        row(qPrintable(QStringLiteral("MD5 of %1 MiB, s").arg(size >> 20)), ours, reference, "s",
            "ratio <= 1.2");
        QFile::remove(big);
        Q_UNUSED(md5);
    }

    // The task table with 10,000 records: adding one more, sign-in time, and what one
    // refresh tick asks. The stores are written directly as the settings file holds them.
    {
        VaruUserModel *user = VaruUserModel::instance();
        auto writeStore = [&home](const QString &uin, int count) {
            QJsonObject json{{QStringLiteral("records/size"), count}};
            for (int i = 0; i < count; ++i) {
                QString content;
                VaruFixtures::makeRecord(
                    QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')), 1000 + i)
                    ->toJson(content);
                json.insert(QStringLiteral("records/%1/md5").arg(i + 1),
                    QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')));
                json.insert(QStringLiteral("records/%1/content").arg(i + 1), content);
            }
            const QString path = home.filePath(QStringLiteral("config/Varu/%1.db").arg(uin));
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(QJsonDocument(json).toJson());
        };
        auto addOne = [user](const QString &uin) {
            user->login(uin, QStringLiteral("k"));
            QElapsedTimer one;
            one.start();
            user->dataCenter()->addRecord(
                VaruFixtures::makeRecord(QStringLiteral("F").repeated(32), 99999999));
            const double ms = one.nsecsElapsed() / 1e6;
            user->logout();
            return ms;
        };
        writeStore(QStringLiteral("10"), 9);
        writeStore(QStringLiteral("10000"), 9999);
        const double tenth = addOne(QStringLiteral("10"));
        const double last = addOne(QStringLiteral("10000"));
        row("adding the 10,000th record vs the 10th, ms", last, tenth, "ms",
            "printed; grows with n");
        QElapsedTimer clock;
        clock.start();
        user->login(QStringLiteral("10000"), QStringLiteral("k"));
        const double load = clock.elapsed() / 1000.0;
        row("sign-in with 10,000 records, s", load, 0, "s", "printed");

        CountingProxy proxy;
        proxy.setSourceModel(user->apkRecords());
        QTableView view;
        view.setModel(&proxy);
        view.resize(1000, 600);
        view.show();
        QCoreApplication::processEvents();
        QSignalSpy tick(user->apkRecords(), &QAbstractItemModel::dataChanged);
        tick.wait(3000);
        proxy.calls = 0;
        tick.wait(3000);
        QCoreApplication::processEvents();
        const int visibleRows = view.rowAt(view.viewport()->height() - 1) - view.rowAt(0) + 1;
        // The status column of every row is announced; the view asks only for what it shows.
        row("data() calls per refresh tick, against the visible rows", proxy.calls, visibleRows, "",
            "asks visible rows only");
    }
    return 0;
}
