#include "tests/fixtures/fixtures.h"
#include "tools/zip.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestZip : public QObject
{
    Q_OBJECT

private slots:
    void addReplaceExtractRemove()
    {
        QTemporaryDir dir;
        const QString apk = VaruFixtures::makeApk(dir.path(), QStringLiteral("app 1.apk"));
        QVERIFY(!apk.isEmpty());
        VaruZip *zip = VaruZip::instance();
        QCOMPARE(zip->entries(apk), QStringList{QStringLiteral("AndroidManifest.xml")});

        QDir(dir.path()).mkpath(QStringLiteral("work dir"));
        QFile file(dir.filePath(QStringLiteral("work dir/AndroidManifest.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("replaced");
        file.close();
        const QString before = QDir::currentPath();
        zip->zip(apk, file.fileName());
        QCOMPARE(QDir::currentPath(), before);
        QCOMPARE(zip->entries(apk), QStringList{QStringLiteral("AndroidManifest.xml")});
        QCOMPARE(VaruFixtures::readEntry(apk, QStringLiteral("AndroidManifest.xml")),
            QByteArray("replaced"));

        const QString out = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        zip->unzip(
            apk, QStringLiteral("AndroidManifest.xml"), QString()); // no destination: nothing
        zip->unzip(apk, QStringLiteral("AndroidManifest.xml"), out);
        QFile extracted(QDir(out).filePath(QStringLiteral("AndroidManifest.xml")));
        QVERIFY(extracted.open(QIODevice::ReadOnly));
        QCOMPARE(extracted.readAll(), QByteArray("replaced"));

        QFile extra(dir.filePath(QStringLiteral("work dir/CERT.SF")));
        QVERIFY(extra.open(QIODevice::WriteOnly));
        extra.close();
        zip->zip(apk, extra.fileName());
        QCOMPARE(zip->entries(apk).size(), 2);
        zip->remove(apk, {QStringLiteral("*.SF")});
        QCOMPARE(zip->entries(apk), QStringList{QStringLiteral("AndroidManifest.xml")});
    }
};

QTEST_GUILESS_MAIN(TestZip)
#include "tst_zip.moc"
