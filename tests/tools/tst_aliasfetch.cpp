#include "tests/fixtures/fixtures.h"
#include "tools/aliasfetchtool.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestAliasFetch : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mKeystore;

private slots:
    void initTestCase()
    {
        QString error;
        mKeystore = VaruFixtures::makeKeystore(mDir.filePath(QStringLiteral("release.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")},
                {QStringLiteral("my,key"), QStringLiteral("keypass2")},
                {QStringLiteral("EcKey"), QStringLiteral("keypass3"), QStringLiteral("EC")}},
            &error);
        QVERIFY2(!mKeystore.isEmpty(), qPrintable(error));
    }

    // The real keytool: aliases come back in listing order, lower case, commas kept.
    void listsRealKeystore()
    {
        VaruAliasFetchTool tool;
        QSignalSpy done(&tool, &VaruAliasFetchTool::sigAliasListCallback);
        tool.getAliasName(mKeystore, QStringLiteral("wrongpass"));
        QVERIFY(done.wait(60000));
        QCOMPARE(done.last().at(3).toInt(), -5);
        QCOMPARE(done.last().at(2).toStringList(), QStringList());

        tool.getAliasName(mKeystore, QStringLiteral("storepass1"));
        QVERIFY(done.wait(60000));
        const QList<QVariant> result = done.last();
        QCOMPARE(result.at(0).toString(), mKeystore);
        QCOMPARE(result.at(1).toString(), QStringLiteral("storepass1"));
        QCOMPARE(result.at(2).toStringList(), (QStringList{"eckey", "my,key", "release"}));
        QCOMPARE(result.at(3).toInt(), 0);
        QCOMPARE(tool.errorCode(), 0);
    }

    void shortPasswordRefusedAtOnce()
    {
        VaruAliasFetchTool tool;
        QSignalSpy done(&tool, &VaruAliasFetchTool::sigAliasListCallback);
        tool.getAliasName(mKeystore, QStringLiteral("12345"));
        QCOMPARE(tool.errorCode(), -2);
        tool.getAliasName(QString(), QStringLiteral("123456"));
        QCOMPARE(tool.errorCode(), -2);
        QVERIFY(!done.wait(300));
    }

    void listings_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("aliases");
        const QString listing = QStringLiteral(
            "Keystore type: JKS\nKeystore provider: SUN\n\nYour keystore contains 2 entries\n\n"
            "alpha, Dec 11, 2026, PrivateKeyEntry, \nCertificate fingerprint (SHA-256): AA:BB\n"
            "a,b,c, Dec 11, 2026, trustedCertEntry, \nCertificate fingerprint (SHA-256): CC:DD\n");
        QTest::newRow("line feeds") << listing << 0 << QStringList{"alpha", "a,b,c"};
        QTest::newRow("carriage returns")
            << QString(listing).replace("\n", "\r\n") << 0 << QStringList{"alpha", "a,b,c"};
        QTest::newRow("one entry") << "Your keystore contains 1 entry\r\n\r\nsolo, Jan 2, 2025, "
                                      "PrivateKeyEntry, \r\nCertificate fingerprint: X\r\n"
                                   << 0 << QStringList{"solo"};
        QTest::newRow("count larger than the lines")
            << "Your keystore contains 5 entries\n\nsolo, Jan 2, 2025, PrivateKeyEntry, "
               "\nCertificate fingerprint: X\n"
            << 0 << QStringList{"solo"};
        QTest::newRow("no count") << "Your keystore contains many entries\n\n"
                                  << 0 << QStringList();
        QTest::newRow("wrong password") << "keytool error: java.io.IOException: Keystore was "
                                           "tampered with, or password was incorrect\n"
                                        << -5 << QStringList();
        QTest::newRow("not a keystore")
            << "keytool error: java.lang.Exception: Keystore file does not exist\n"
            << -1 << QStringList();
        QTest::newRow("nothing") << "" << -3 << QStringList();
    }
    void listings()
    {
        QFETCH(QString, output);
        QFETCH(int, code);
        QFETCH(QStringList, aliases);
        QStringList found{"stale"};
        QCOMPARE(VaruAliasFetchTool::parseListing(output, &found), code);
        QCOMPARE(found, aliases);
    }
};

QTEST_GUILESS_MAIN(TestAliasFetch)
#include "tst_aliasfetch.moc"
