#include "core/datacenter.h"
#include "core/settingskeys.h"
#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestDataCenter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QSettings::Format mFormat = QSettings::InvalidFormat;
    int mAccount = 0;

    // A fresh account number per test, so that no file is shared between tests.
    QString nextUin() { return QString::number(20000 + ++mAccount); }
    QString fileOf(const QString &uin) const
    {
        return QDir(mHome.path()).filePath(QStringLiteral("config/Varu/%1.db").arg(uin));
    }
    static QJsonObject readJson(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QVERIFY(VaruFixtures::writeFile(path, bytes));
    }

    // Makes a file look ten seconds old.
    static void ageFile(const QString &path)
    {
        QFile file(path);
        if (!file.exists() || !file.open(QIODevice::ReadWrite))
            return;
        file.setFileTime(
            QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime);
    }

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        VaruUserModel::instance(); // registers the "db" format as the default
        mFormat = QSettings::defaultFormat();
    }

    void settingsRoundTrip()
    {
        const QString uin = nextUin();
        {
            VaruDataCenter store(mFormat, uin);
            store.writeValue(VaruSettingsKey::keyStorePath, QStringLiteral("/keys/release.jks"));
            store.writeValue(VaruSettingsKey::autoSign, true);
            store.writeValue(QStringLiteral("nodot"), 1);
            store.writeValue(QStringLiteral("a.b.c"), 1);
            QCOMPARE(store.readValue(VaruSettingsKey::keyStorePath).toString(),
                QStringLiteral("/keys/release.jks"));
            QVERIFY(!store.readValue(QStringLiteral("nodot")).isValid());
            QVERIFY(!store.readValue(VaruSettingsKey::outputDir).isValid());
        }
        const QJsonObject json = readJson(fileOf(uin));
        QCOMPARE(json.value(QStringLiteral("sign/KeyStorePath")).toString(),
            QStringLiteral("/keys/release.jks"));
        QCOMPARE(json.value(QStringLiteral("sign/AutoSign")), QJsonValue(true));
        QCOMPARE(json.size(), 2);
    }

    void nullRemovesEmptyKeeps()
    {
        VaruDataCenter store(mFormat, nextUin());
        store.writeValue(VaruSettingsKey::outputDir, QStringLiteral("/out"));
        store.writeValue(VaruSettingsKey::outputDir, QVariant());
        QVERIFY(!store.hasValue(VaruSettingsKey::outputDir));
        store.writeValue(VaruSettingsKey::androidName, QStringLiteral(""));
        QVERIFY(store.hasValue(VaruSettingsKey::androidName));
        store.removeValue(VaruSettingsKey::androidName);
        QVERIFY(!store.hasValue(VaruSettingsKey::androidName));
    }

    void incompleteUntilFiveKeysExist_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("incomplete");
        using namespace VaruSettingsKey;
        const QStringList all
            = {outputDir, keyStorePath, keyStorePassword, keyStoreAlias, keyStoreAliasPassword};
        QTest::newRow("nothing") << QStringList() << true;
        QTest::newRow("all five, empty values") << all << false;
        QTest::newRow("no alias") << QStringList{outputDir, keyStorePath, keyStorePassword,
            keyStoreAliasPassword} << true;
        QTest::newRow("no output folder") << QStringList(all.mid(1)) << true;
    }
    void incompleteUntilFiveKeysExist()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, incomplete);
        const QString uin = nextUin();
        {
            VaruDataCenter store(mFormat, uin);
            QVERIFY(store.isIncomplete());
            for (const QString &key : keys)
                store.writeValue(key, QStringLiteral(""));
            QVERIFY(store.isIncomplete()); // not recomputed while open
        }
        VaruDataCenter reopened(mFormat, uin);
        QCOMPARE(reopened.isIncomplete(), incomplete);
    }

    void recordsByTimeOnDiskByMd5()
    {
        const QString uin = nextUin();
        VaruDataCenter store(mFormat, uin);
        QVERIFY(store.addRecord(VaruFixtures::makeRecord(QStringLiteral("CCC"), 100)));
        QVERIFY(store.addRecord(VaruFixtures::makeRecord(QStringLiteral("AAA"), 300)));
        QVERIFY(store.addRecord(VaruFixtures::makeRecord(QStringLiteral("BBB"), 200)));
        QStringList byTime;
        for (const auto &record : store.records())
            byTime << record->md5();
        QCOMPARE(byTime, (QStringList{"CCC", "BBB", "AAA"}));

        store.sync();
        const QJsonObject json = readJson(fileOf(uin));
        QCOMPARE(json.value(QStringLiteral("records/size")).toInt(), 3);
        QCOMPARE(json.value(QStringLiteral("records/1/md5")).toString(), QStringLiteral("AAA"));
        QCOMPARE(json.value(QStringLiteral("records/2/md5")).toString(), QStringLiteral("BBB"));
        QCOMPARE(json.value(QStringLiteral("records/3/md5")).toString(), QStringLiteral("CCC"));
        const QJsonObject content = QJsonDocument::fromJson(
            json.value(QStringLiteral("records/1/content")).toString().toUtf8())
                                        .object();
        QCOMPARE(content.value(QStringLiteral("md5")).toString(), QStringLiteral("AAA"));
        QCOMPARE(content.value(QStringLiteral("time")).toDouble(), 300.0);
    }

    void duplicateMd5LeavesFileUntouched()
    {
        const QString uin = nextUin();
        VaruDataCenter store(mFormat, uin);
        QVERIFY(store.addRecord(VaruFixtures::makeRecord(QStringLiteral("AAA"), 1)));
        store.sync();
        QFile file(fileOf(uin));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        const QDateTime modified = QFileInfo(file).lastModified();
        file.close();

        auto twin = VaruFixtures::makeRecord(QStringLiteral("AAA"), 2, QStringLiteral("com.twin"),
            QStringLiteral("/elsewhere/twin.apk"));
        QVERIFY(!store.addRecord(twin));
        QVERIFY(!store.addRecord(store.records().first()));
        QVERIFY(!store.addRecord(VaruFixtures::makeRecord(QString(), 3)));
        store.sync();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QFileInfo(file).lastModified(), modified);
        QCOMPARE(store.records().size(), 1);
        QCOMPARE(store.records().first()->packageName(), QStringLiteral("com.example"));
    }

    // Removing records rewrites the list without leaving the removed ones behind.
    void removeLeavesNoStaleElements()
    {
        const QString uin = nextUin();
        VaruDataCenter store(mFormat, uin);
        store.addRecord(VaruFixtures::makeRecord(QStringLiteral("AAA"), 1));
        store.addRecord(VaruFixtures::makeRecord(QStringLiteral("BBB"), 2));
        store.removeRecord(QStringLiteral("AAA"));
        store.removeRecord(QStringLiteral("none"));
        store.sync();
        QJsonObject json = readJson(fileOf(uin));
        QCOMPARE(json.value(QStringLiteral("records/size")).toInt(), 1);
        QCOMPARE(json.value(QStringLiteral("records/1/md5")).toString(), QStringLiteral("BBB"));
        QVERIFY(!json.contains(QStringLiteral("records/2/md5")));
        store.removeRecord(QStringLiteral("BBB"));
        store.sync();
        json = readJson(fileOf(uin));
        QCOMPARE(json.value(QStringLiteral("records/size")).toInt(), 0);
        QVERIFY(!json.contains(QStringLiteral("records/1/md5")));
    }

    void unparsableRecordDropped()
    {
        const QString uin = nextUin();
        QString good;
        QVERIFY(VaruFixtures::makeRecord(QStringLiteral("GOOD"), 5)->toJson(good));
        const QJsonObject json{{QStringLiteral("records/size"), 2},
            {QStringLiteral("records/1/md5"), QStringLiteral("BAD")},
            {QStringLiteral("records/1/content"), QStringLiteral("{not json")},
            {QStringLiteral("records/2/md5"), QStringLiteral("GOOD")},
            {QStringLiteral("records/2/content"), good}};
        writeBytes(fileOf(uin), QJsonDocument(json).toJson());
        VaruDataCenter store(mFormat, uin);
        QCOMPARE(store.records().size(), 1);
        QCOMPARE(store.records().first()->md5(), QStringLiteral("GOOD"));
        store.saveRecords();
        store.sync();
        QVERIFY(!readJson(fileOf(uin)).contains(QStringLiteral("records/2/md5")));
    }

    // A settings file that does not parse gives an empty store, but its bytes are kept.
    void corruptFileKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("broken JSON") << QByteArray("{\"sign/KeyStorePassword\": \"secr");
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]");
    }
    void corruptFileKeptAside()
    {
        QFETCH(QByteArray, bytes);
        const QString uin = nextUin();
        writeBytes(fileOf(uin), bytes);
        {
            VaruDataCenter store(mFormat, uin);
            QVERIFY(store.isIncomplete());
            QVERIFY(store.records().isEmpty());
            QVERIFY(!store.hasValue(VaruSettingsKey::keyStorePassword));
            store.writeValue(VaruSettingsKey::outputDir, QStringLiteral("/out"));
        }
        QFile copy(fileOf(uin) + QStringLiteral(".corrupt"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), bytes);
        QCOMPARE(readJson(fileOf(uin)).value(QStringLiteral("common/OutputDir")).toString(),
            QStringLiteral("/out"));
        QVERIFY(!QFile::exists(fileOf(uin) + QStringLiteral(".corrupt.1")));
    }

    // Saving replaces the file as a whole (written aside, then renamed over the old one),
    // so a failed save never leaves half a file; the file is its owner's alone.
    void saveReplacesWholeFileOwnerOnly()
    {
        const QString uin = nextUin();
        VaruDataCenter store(mFormat, uin);
        store.writeValue(VaruSettingsKey::keyStorePassword, QStringLiteral("s3cret"));
        store.sync();
        struct stat first { };
        QCOMPARE(stat(QFile::encodeName(fileOf(uin)).constData(), &first), 0);
        QCOMPARE(first.st_mode & 0777, mode_t(0600));

        store.writeValue(VaruSettingsKey::keyStorePassword, QStringLiteral("other"));
        store.sync();
        struct stat second { };
        QCOMPARE(stat(QFile::encodeName(fileOf(uin)).constData(), &second), 0);
        QVERIFY(first.st_ino != second.st_ino);
        QCOMPARE(second.st_mode & 0777, mode_t(0600));
        QCOMPARE(QDir(QFileInfo(fileOf(uin)).absolutePath())
                     .entryList({uin + QStringLiteral("*")}, QDir::Files),
            QStringList{uin + QStringLiteral(".db")});
    }

    // A client killed just after making the settings file's lock, before writing its owner
    // into it, leaves an empty lock behind; the next start must not wait on it.
    void orphanedEmptyLockIsCleared()
    {
        const QString uin = nextUin();
        const QString lock = fileOf(uin) + QStringLiteral(".lock");
        QVERIFY(QDir().mkpath(QFileInfo(lock).absolutePath()));
        writeBytes(lock, QByteArray());
        ageFile(lock);
        VaruDataCenter store(mFormat, uin);
        QVERIFY(!QFile::exists(lock)); // gone before the first save could wait on it
        store.writeValue(VaruSettingsKey::outputDir, QStringLiteral("/out"));
        store.sync();
        QCOMPARE(store.status(), QSettings::NoError);
        QCOMPARE(readJson(fileOf(uin)).value(QStringLiteral("common/OutputDir")).toString(),
            QStringLiteral("/out"));
        QVERIFY(!QFile::exists(lock));
    }

    // A client killed while it saves leaves a settings file that the next start reads: the
    // file is replaced whole, never written over in place.
    void killedWhileSaving()
    {
        const QString uin = nextUin();
        QRandomGenerator random(42);
        for (int round = 0; round < 20; ++round) {
            QProcess child;
            child.start(
                QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), uin});
            QVERIFY2(child.waitForReadyRead(120000), // it has saved at least once
                child.readAllStandardError().constData());
            QTest::qWait(random.bounded(5, 60));
            child.kill();
            QVERIFY(child.waitForFinished(30000));
            // The user starts the client again seconds later, not at once.
            const QString lock = fileOf(uin) + QStringLiteral(".lock");
            if (QFileInfo(lock).size() == 0)
                ageFile(lock);
            QFile file(fileOf(uin));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(),
                qPrintable(error.errorString()));
            QVERIFY(document.object().value(QStringLiteral("records/size")).toInt() > 0);
        }
        QVERIFY(!QFile::exists(fileOf(uin) + QStringLiteral(".corrupt")));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Child mode: save the settings and records over and over until killed.
    if (argc == 3 && qstrcmp(argv[1], "--save-loop") == 0) {
        VaruUserModel::instance(); // registers the settings file format
        VaruDataCenter store(QSettings::defaultFormat(), QString::fromLatin1(argv[2]));
        for (int i = 0;; ++i) {
            store.addRecord(
                VaruFixtures::makeRecord(QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')), i));
            store.writeValue(VaruSettingsKey::packParams, QString(200 + i % 50, QLatin1Char('x')));
            store.sync();
            if (i == 0) {
                printf("saved\n");
                fflush(stdout);
            }
        }
    }
    TestDataCenter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_datacenter.moc"
