#include "tests/fixtures/fixtures.h"
#include "tools/binaryxml.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

quint32 u32(const QByteArray &data, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(data.constData()) + at);
}

void setU32(QByteArray &data, int at, quint32 value)
{
    qToLittleEndian<quint32>(value, reinterpret_cast<uchar *>(data.data()) + at);
}

void setU16(QByteArray &data, int at, quint16 value)
{
    qToLittleEndian<quint16>(value, reinterpret_cast<uchar *>(data.data()) + at);
}

// aapt writes UTF-16 pools; this rebuilds a manifest's pool in UTF-8, as other tools write it.
QByteArray withUtf8Pool(const QByteArray &manifest)
{
    QStringList strings;
    if (!VaruBinaryXml::poolStrings(manifest, &strings))
        return {};
    const int pool
        = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(manifest.constData()) + 2);
    const int header = qFromLittleEndian<quint16>(
        reinterpret_cast<const uchar *>(manifest.constData()) + pool + 2);
    const int oldSize = int(u32(manifest, pool + 4));
    QByteArray offsets, data;
    for (const QString &s : strings) {
        QByteArray offset(4, '\0');
        setU32(offset, 0, quint32(data.size()));
        offsets += offset;
        data += VaruBinaryXml::encodeString(s, true);
    }
    QByteArray chunk = manifest.mid(pool, header) + offsets + data;
    setU32(chunk, 4, quint32(chunk.size()));
    setU32(chunk, 16, u32(chunk, 16) | 0x100);
    setU32(chunk, 20, quint32(header + offsets.size()));
    QByteArray out = manifest.left(pool) + chunk + manifest.mid(pool + oldSize);
    setU32(out, 4, quint32(out.size()));
    return out;
}

} // namespace

class TestBinaryXml : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QByteArray mManifest;

private slots:
    void initTestCase()
    {
        const QString apk = VaruFixtures::makeApk(mDir.path(), QStringLiteral("app.apk"));
        QVERIFY(!apk.isEmpty());
        mManifest = VaruFixtures::readEntry(apk, QStringLiteral("AndroidManifest.xml"));
        QVERIFY(mManifest.size() > 100);
    }

    void findsKey()
    {
        QCOMPARE(VaruBinaryXml::findKey(mManifest, QStringLiteral("UMENG_CHANNEL")), 0);
        QCOMPARE(VaruBinaryXml::findKey(mManifest, QStringLiteral("NO_SUCH_KEY")), -7);
        QCOMPARE(
            VaruBinaryXml::findKey(withUtf8Pool(mManifest), QStringLiteral("UMENG_CHANNEL")), 0);
    }

    // "baidu" is appended to the pool with the exact bytes of each pool kind, and the pool
    // and the file grow by the entry and its offset.
    void appendsString_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("UTF-16") << false
                                << QByteArray::fromHex("0500620061006900640075000000"
                                                       "0000");
        QTest::newRow("UTF-8") << true << QByteArray::fromHex("0505626169647500");
    }
    void appendsString()
    {
        QFETCH(bool, utf8);
        QFETCH(QByteArray, entry);
        const QByteArray manifest = utf8 ? withUtf8Pool(mManifest) : mManifest;
        bool isUtf8 = !utf8;
        QStringList before;
        QVERIFY(VaruBinaryXml::poolStrings(manifest, &before, &isUtf8));
        QCOMPARE(isUtf8, utf8);
        QCOMPARE(VaruBinaryXml::encodeString(QStringLiteral("baidu"), utf8), entry);

        QByteArray out;
        QCOMPARE(VaruBinaryXml::writeChannel(
                     manifest, QStringLiteral("UMENG_CHANNEL"), QStringLiteral("baidu"), &out),
            0);
        QCOMPARE(out.size(), manifest.size() + entry.size() + 4);
        QCOMPARE(int(u32(out, 4)), out.size());
        const int pool = 8;
        QCOMPARE(u32(out, pool + 4), u32(manifest, pool + 4) + quint32(entry.size() + 4));
        const int poolEnd = pool + int(u32(out, pool + 4));
        QCOMPARE(out.mid(poolEnd - entry.size(), entry.size()), entry);
        QStringList after;
        QVERIFY(VaruBinaryXml::poolStrings(out, &after));
        QCOMPARE(after, before + QStringList{QStringLiteral("baidu")});
    }

    // Texts too long for a one-byte length, or outside Latin-1, get the pool's proper encoding.
    void anyChannelText_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("channel");
        for (bool utf8 : {false, true}) {
            const char *kind = utf8 ? "UTF-8" : "UTF-16";
            QTest::addRow("%s, 200 characters", kind) << utf8 << QString(200, QLatin1Char('c'));
            QTest::addRow("%s, 40000 characters", kind) << utf8 << QString(40000, QLatin1Char('w'));
            QTest::addRow("%s, Chinese", kind) << utf8 << QStringLiteral("渠道");
            QTest::addRow("%s, Latin-1", kind) << utf8 << QStringLiteral("café");
        }
    }
    void anyChannelText()
    {
        QFETCH(bool, utf8);
        QFETCH(QString, channel);
        const QByteArray manifest = utf8 ? withUtf8Pool(mManifest) : mManifest;
        QByteArray out;
        if (utf8 && channel.size() > 0x7FFF) { // beyond what a UTF-8 pool can say
            QCOMPARE(VaruBinaryXml::writeChannel(
                         manifest, QStringLiteral("UMENG_CHANNEL"), channel, &out),
                -5);
            return;
        }
        QCOMPARE(
            VaruBinaryXml::writeChannel(manifest, QStringLiteral("UMENG_CHANNEL"), channel, &out),
            0);
        QStringList strings;
        QVERIFY(VaruBinaryXml::poolStrings(out, &strings));
        QCOMPARE(strings.last(), channel);
    }

    void integerChannelsLeavePoolAlone()
    {
        QByteArray out;
        QCOMPARE(VaruBinaryXml::writeChannel(
                     mManifest, QStringLiteral("UMENG_CHANNEL"), QStringLiteral("1001"), &out),
            0);
        QCOMPARE(out.size(), mManifest.size());
        QVERIFY(out != mManifest);
        QVERIFY(
            out.contains(QByteArray::fromHex("ffffffff08000010e9030000"))); // raw none, int 1001
    }

    // Hand-made damage: every case ends in a result code, never outside the buffer.
    void malformedManifests_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<bool>("mayPass");
        const QByteArray m = mManifest;
        const int poolSize = int(u32(m, 12));
        for (int cut : {0, 4, 8, 12, 20, 35, 8 + poolSize - 1, 8 + poolSize, 8 + poolSize + 8,
                 m.size() / 2, m.size() - 1})
            QTest::addRow("cut at %d", cut) << m.left(cut) << (cut >= 8 + poolSize);
        for (int cut = 0; cut < m.size(); cut += 97)
            QTest::addRow("cut at byte %d", cut) << m.left(cut) << true;
        auto patched = [&](int at, quint32 value) {
            QByteArray copy = m;
            setU32(copy, at, value);
            return copy;
        };
        QTest::newRow("header size past the end") << [&] {
            QByteArray c = m;
            setU16(c, 2, 0xFFF0);
            return c;
        }() << false;
        QTest::newRow("pool size past the end") << patched(12, 0x7FFFFFF0) << false;
        QTest::newRow("pool size zero") << patched(12, 0) << false;
        QTest::newRow("huge string count") << patched(16, 0x7FFFFFFF) << false;
        QTest::newRow("strings start past the end") << patched(28, 0x7FFFFFF0) << false;
        QTest::newRow("styles present") << patched(20, 1) << false;
        QTest::newRow("string offset past the end") << patched(8 + 28, 0x7FFFFFF0) << false;
        QTest::newRow("node size past the end") << patched(8 + poolSize + 4, 0x7FFFFFF0) << false;
        QTest::newRow("node size zero") << patched(8 + poolSize + 4, 0) << true;
        QTest::newRow("node size four") << patched(8 + poolSize + 4, 4) << false;
        for (int at = 8 + poolSize; at + 4 <= m.size(); at += 4)
            QTest::addRow("word %d set to all ones", at) << patched(at, 0xFFFFFFFF) << true;
    }
    void malformedManifests()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(bool, mayPass);
        QByteArray out;
        const int result = VaruBinaryXml::writeChannel(
            manifest, QStringLiteral("UMENG_CHANNEL"), QStringLiteral("x"), &out);
        QVERIFY(result == 0 || result == -1 || result == -7);
        if (!mayPass)
            QVERIFY(result != 0);
        QByteArray number;
        VaruBinaryXml::writeChannel(
            manifest, QStringLiteral("UMENG_CHANNEL"), QStringLiteral("7"), &number);
    }
};

QTEST_GUILESS_MAIN(TestBinaryXml)
#include "tst_binaryxml.moc"
