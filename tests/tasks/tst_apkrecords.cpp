#include "core/usermodel.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestApkRecords : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    VaruApkRecords *model() { return VaruUserModel::instance()->apkRecords(); }

private slots:
    void initTestCase() { VaruFixtures::isolateUserFolders(mHome); }
    void cleanup() { VaruUserModel::instance()->logout(); }

    void emptyTableShape()
    {
        QCOMPARE(model()->rowCount(), 0);
        QCOMPARE(model()->columnCount(), 6);
        const QStringList headers = {"包名", "文件名", "版本", "大小", "日期", "状态"};
        for (int section = 0; section < 6; ++section) {
            QCOMPARE(model()->headerData(section, Qt::Horizontal).toString(), headers[section]);
            QCOMPARE(model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                int(Qt::AlignHCenter | Qt::AlignVCenter));
        }
        QVERIFY(!model()->headerData(6, Qt::Horizontal).isValid());
        QVERIFY(!model()->headerData(0, Qt::Vertical).isValid());
        QVERIFY(!model()->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!model()->recordAt(0));
        QVERIFY(!model()->takeRecordAt(-1));
    }

    void cellsAndRoles()
    {
        VaruUserModel::instance()->login(QStringLiteral("1"), QStringLiteral("k"));
        model()->updateRecord(VaruFixtures::makeRecord(
            QStringLiteral("AAA"), 1700000000000LL, QStringLiteral("com.a")));
        QCOMPARE(model()->rowCount(), 1);
        const QStringList expected = {"com.a", "com.a.apk", "1.0", "4.00K",
            QDateTime::fromMSecsSinceEpoch(1700000000000LL).toString("yyyy-MM-dd hh:mm:ss"),
            "文件待加固"};
        for (int column = 0; column < 6; ++column) {
            const QModelIndex index = model()->index(0, column);
            QCOMPARE(model()->data(index).toString(), expected[column]);
            QCOMPARE(model()->data(index, Qt::EditRole).toString(), expected[column]);
            const int alignment = column < 2 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                             : int(Qt::AlignHCenter | Qt::AlignVCenter);
            QCOMPARE(model()->data(index, Qt::TextAlignmentRole).toInt(), alignment);
            QVERIFY(!model()->data(index, Qt::ToolTipRole).isValid());
        }
        QVERIFY(!model()->data(model()->index(0, 6)).isValid());
        QVERIFY(model()->flags(model()->index(0, 0)) & Qt::ItemIsSelectable);
        QVERIFY(!(model()->flags(model()->index(0, 0)) & Qt::ItemIsEditable));
    }

    void newestLastAndDuplicatesRefused()
    {
        VaruUserModel::instance()->login(QStringLiteral("2"), QStringLiteral("k"));
        QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
        model()->updateRecord(VaruFixtures::makeRecord(
            QStringLiteral("NEW"), 3000, QStringLiteral("aaa.first.by.name")));
        model()->updateRecord(
            VaruFixtures::makeRecord(QStringLiteral("OLD"), 1000, QStringLiteral("zzz")));
        QCOMPARE(resets.count(), 2);
        QCOMPARE(model()->recordAt(0)->md5(), QStringLiteral("OLD"));
        QCOMPARE(model()->recordAt(1)->md5(), QStringLiteral("NEW"));

        // Same digest, another path: not a new row.
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("OLD"), 5000,
            QStringLiteral("twin"), QStringLiteral("/other/path.apk")));
        QCOMPARE(model()->rowCount(), 2);
        QCOMPARE(resets.count(), 2);
        QVERIFY(model()->containsFilePath(QStringLiteral("/apks/OLD.apk")));
        QVERIFY(!model()->containsFilePath(QStringLiteral("/other/path.apk")));
        QVERIFY(!model()->containsFilePath(QStringLiteral("/APKS/OLD.apk")));
    }

    void removingLastRowEmptiesStoredList()
    {
        VaruUserModel::instance()->login(QStringLiteral("3"), QStringLiteral("k"));
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("ONLY"), 1));
        QVERIFY(!model()->takeRecordAt(1));
        const QSharedPointer<VaruApkInfo> taken = model()->takeRecordAt(0);
        QVERIFY(taken);
        QCOMPARE(taken->md5(), QStringLiteral("ONLY"));
        QCOMPARE(model()->rowCount(), 0);
        VaruUserModel::instance()->logout();
        QFile file(QDir(mHome.path()).filePath(QStringLiteral("config/Varu/3.db")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(json.value(QStringLiteral("records/size")).toInt(), 0);
        QVERIFY(!json.contains(QStringLiteral("records/1/md5")));
    }

    void accountsSeeOnlyTheirRecords()
    {
        VaruUserModel::instance()->login(QStringLiteral("4"), QStringLiteral("k"));
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("FOUR"), 1));
        VaruUserModel::instance()->logout();
        QCOMPARE(model()->rowCount(), 0);
        VaruUserModel::instance()->login(QStringLiteral("5"), QStringLiteral("k"));
        QCOMPARE(model()->rowCount(), 0);
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("FIVE"), 1));
        VaruUserModel::instance()->login(QStringLiteral("4"), QStringLiteral("k"));
        QCOMPARE(model()->rowCount(), 1);
        QCOMPARE(model()->recordAt(0)->md5(), QStringLiteral("FOUR"));
    }

    // Once a second the status column of every row is repainted; with no rows, or signed
    // out, nothing is.
    void statusRefreshTick()
    {
        VaruUserModel::instance()->login(QStringLiteral("6"), QStringLiteral("k"));
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("A"), 1));
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("B"), 2));
        QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
        QVERIFY(changed.wait(5000));
        const QList<QVariant> tick = changed.takeFirst();
        QCOMPARE(tick.at(0).toModelIndex(), model()->index(0, 5));
        QCOMPARE(tick.at(1).toModelIndex(), model()->index(1, 5));
        QCOMPARE(qvariant_cast<QVector<int>>(tick.at(2)), QVector<int>());

        model()->takeRecordAt(0);
        model()->takeRecordAt(0);
        changed.clear();
        QVERIFY(!changed.wait(2500)); // no rows: the tick says nothing
        model()->updateRecord(VaruFixtures::makeRecord(QStringLiteral("C"), 3));
        VaruUserModel::instance()->logout();
        QVERIFY(!changed.wait(2500)); // signed out: no timer runs
    }
};

QTEST_GUILESS_MAIN(TestApkRecords)
#include "tst_apkrecords.moc"
