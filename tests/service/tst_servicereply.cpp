#include "service/request.h"
#include "service/servicereply.h"

#include <QtTest>

using namespace VaruServiceReply;

class TestServiceReply : public QObject
{
    Q_OBJECT

private slots:
    void uploadReplies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("login");
        QTest::addColumn<bool>("registerWord");
        QTest::addColumn<QString>("appName");
        QTest::newRow("success") << QByteArray(R"({"code":0,"appName":"a","rovan":"r"})") << true
                                 << 0 << false << false << "a";
        QTest::newRow("login in capitals")
            << QByteArray(R"({"code":"LOGIN"})") << true << 0 << true << false << "";
        QTest::newRow("register") << QByteArray(R"({"code":"Register"})") << true << 0 << false
                                  << true << "";
        QTest::newRow("number as text")
            << QByteArray(R"({"code":"12"})") << true << 12 << false << false << "";
        QTest::newRow("other word counts as 0")
            << QByteArray(R"({"code":"busy"})") << true << 0 << false << false << "";
        QTest::newRow("no code") << QByteArray(R"({"appName":"x"})") << true << 0 << false << false
                                 << "x";
        QTest::newRow("array is no answer")
            << QByteArray("[1,2]") << false << 0 << false << false << "";
        QTest::newRow("number is no answer")
            << QByteArray("0") << false << 0 << false << false << "";
        QTest::newRow("refused") << QByteArray(R"({"code":10004})") << true << 10004 << false
                                 << false << "";
        QTest::newRow("not JSON") << QByteArray("<html>") << false << 0 << false << false << "";
        QTest::newRow("empty") << QByteArray() << false << 0 << false << false << "";
    }
    void uploadReplies()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, parsed);
        QFETCH(int, value);
        QFETCH(bool, login);
        QFETCH(bool, registerWord);
        QFETCH(QString, appName);
        const UploadReply reply = decodeUpload(body);
        QCOMPARE(reply.parsed, parsed);
        QCOMPARE(reply.code.value, value);
        QCOMPARE(reply.code.sessionExpired, login);
        QCOMPARE(reply.code.notRegistered, registerWord);
        QCOMPARE(reply.appName, appName);
    }

    void reinforceNeedsAnObject()
    {
        Code code;
        QVERIFY(!decodeReinforce("[1,2]", &code));
        QVERIFY(!decodeReinforce("{", &code));
        QVERIFY(decodeReinforce(R"({"code":7})", &code));
        QCOMPARE(code.value, 7);
    }

    void statusList()
    {
        QVector<StatusEntry> entries;
        QVERIFY(!decodeStatusList(R"({"code":"login"})", &entries));
        QVERIFY(!decodeStatusList("nonsense", &entries));
        QVERIFY(decodeStatusList(
            R"([{"md5":"ab","state":1},{"md5":"CD","state":0,"jiagu":2},7])", &entries));
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].md5, QStringLiteral("ab"));
        QCOMPARE(entries[0].state, 1);
        QCOMPARE(entries[1].jiagu, 2);
        QCOMPARE(entries[2].state, -1); // not an object: ignored by the scanner
    }

    void transportErrors_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("code");
        QTest::newRow("refused") << int(QNetworkReply::ConnectionRefusedError) << 3;
        QTest::newRow("closed") << int(QNetworkReply::RemoteHostClosedError) << 3;
        QTest::newRow("aborted") << int(QNetworkReply::OperationCanceledError) << 1;
        QTest::newRow("internal server error") << int(QNetworkReply::InternalServerError) << 2;
        QTest::newRow("unavailable") << int(QNetworkReply::ServiceUnavailableError) << 2;
        QTest::newRow("not found") << int(QNetworkReply::ContentNotFoundError) << 1;
        QTest::newRow("protocol") << int(QNetworkReply::ProtocolFailure) << 1;
    }
    void transportErrors()
    {
        QFETCH(int, error);
        QFETCH(int, code);
        QCOMPARE(transportErrorCode(QNetworkReply::NetworkError(error)), code);
    }

    void messagesAndSpeeds()
    {
        QCOMPARE(VaruRequest::errorString(109), QStringLiteral("下载失败，输出目录不存在"));
        for (int code : {0, 4, 118, 121, 125, 999})
            QCOMPARE(VaruRequest::errorString(code), QString());
        QCOMPARE(speedText(0), QStringLiteral("0.00 B/s"));
        QCOMPARE(speedText(-5), QStringLiteral("0.00 B/s"));
        QCOMPARE(speedText(512), QStringLiteral("512.00 B/s"));
        QCOMPARE(speedText(1023), QStringLiteral("1023.00 B/s"));
        QCOMPARE(speedText(1024), QStringLiteral("1.00 KB/s"));
        QCOMPARE(speedText(1536), QStringLiteral("1.50 KB/s"));
        QCOMPARE(speedText(1.2 * 1048576), QStringLiteral("1.20 MB/s"));
        QCOMPARE(speedText(2.0 * 1073741824), QStringLiteral("2.00 GB/s"));
    }
};

QTEST_GUILESS_MAIN(TestServiceReply)
#include "tst_servicereply.moc"
