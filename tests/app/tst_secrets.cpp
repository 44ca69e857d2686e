#include "tests/fixtures/fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

const QString kPassword = QStringLiteral("Kq7-secret-Zx42");

// The command lines of the processes below root, as anyone on the machine can read them.
class CommandLineWatch
{
public:
    explicit CommandLineWatch(qint64 root) : mRoot(root)
    {
        mThread = std::thread([this] {
            while (!mStop) {
                look();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~CommandLineWatch() { stop(); }
    void stop()
    {
        mStop = true;
        if (mThread.joinable())
            mThread.join();
    }
    QSet<QByteArray> seen; // the command lines of the descendants, NULs as spaces

private:
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void look()
    {
        // Parent of every process, from /proc/<pid>/stat ("pid (name) state ppid ...").
        QHash<qint64, qint64> parents;
        const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString &pid : pids) {
            bool numeric = false;
            const qint64 id = pid.toLongLong(&numeric);
            if (!numeric)
                continue;
            const QByteArray stat = read(QStringLiteral("/proc/%1/stat").arg(pid));
            const int close = stat.lastIndexOf(')');
            if (close < 0)
                continue;
            parents.insert(id, stat.mid(close + 2).split(' ').value(1).toLongLong());
        }
        for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
            qint64 up = it.value();
            for (int depth = 0; depth < 16 && up > 1 && up != mRoot; ++depth)
                up = parents.value(up);
            if (up != mRoot)
                continue;
            QByteArray line = read(QStringLiteral("/proc/%1/cmdline").arg(it.key()));
            line.replace('\0', ' ');
            if (!line.isEmpty())
                seen.insert(line);
        }
    }

    qint64 mRoot;
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

// Every place below folder that holds the text, in UTF-8 or UTF-16.
QStringList filesHolding(const QString &folder, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray utf16(
        reinterpret_cast<const char *>(text.utf16()), text.size() * int(sizeof(char16_t)));
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (bytes.contains(utf8) || bytes.contains(utf16))
            found << file.fileName();
    }
    return found;
}

} // namespace

class TestSecrets : public QObject
{
    Q_OBJECT

private slots:
    // A client that lists a keystore's keys, signs with them and then crashes leaves the
    // password in no log line, no crash dump and no tool's command line.
    void passwordStaysOutOfLogDumpAndCommandLines()
    {
        QTemporaryDir home;
        const QString keystore = VaruFixtures::makeKeystore(home.filePath(QStringLiteral("k.jks")),
            kPassword, {{QStringLiteral("release"), kPassword}});
        QVERIFY(!keystore.isEmpty());
        const QString apk = VaruFixtures::makeApk(home.path(), QStringLiteral("app.apk"));
        QVERIFY(!apk.isEmpty());
        const QString dataHome = home.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(dataHome));

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("SECRET_UNDER_TEST"), kPassword);
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(VARU_TEST_DIR "/secretschild"),
            {keystore, QStringLiteral("release"), apk, home.path()});
        QVERIFY(child.waitForStarted());
        CommandLineWatch watch(child.processId());
        QVERIFY(child.waitForFinished(300000));
        watch.stop();

        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("aliases=release signed=0"));
        // The watch saw the tools at work, so their command lines were looked at.
        int keytools = 0, jarsigners = 0;
        for (const QByteArray &line : qAsConst(watch.seen)) {
            keytools += line.contains("keytool");
            jarsigners += line.contains("jarsigner");
            QVERIFY2(!line.contains(kPassword.toUtf8()), line.constData());
        }
        QVERIFY2(keytools > 0 && jarsigners > 0,
            QList(watch.seen.cbegin(), watch.seen.cend()).join('\n').constData());

        const QString dataFolder = QDir(dataHome).filePath(QStringLiteral("secretschild"));
        QVERIFY(QFile::exists(QDir(dataFolder).filePath(QStringLiteral("varuclasslog.txt"))));
        QCOMPARE(QDir(dataFolder).entryList({QStringLiteral("*.dmp")}, QDir::Files).size(), 1);
        QCOMPARE(filesHolding(dataFolder, kPassword), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSecrets)
#include "tst_secrets.moc"
