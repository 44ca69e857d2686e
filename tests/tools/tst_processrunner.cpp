#include "platform/os/toolpaths.h"
#include "tests/fixtures/fixtures.h"
#include "tools/processrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using VaruFixtures::writeScript;
using VaruOs::Tool;
Q_DECLARE_METATYPE(VaruOs::Tool)

class TestProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    // The build lays the tool folder out beside the main program as the client expects.
    void toolFolderLayout_data()
    {
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QStringList>("probe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("aapt") << Tool::Aapt << "tool/aapt" << QStringList{"version"}
                              << "Android Asset Packaging Tool";
        QTest::newRow("zip") << Tool::Zip << "tool/zip/zip" << QStringList{"-v"} << "Zip 3.0";
        QTest::newRow("unzip") << Tool::Unzip << "tool/zip/unzip" << QStringList{"-v"}
                               << "UnZip 6.00";
        QTest::newRow("zipalign") << Tool::Zipalign << "tool/jre/bin/zipalign" << QStringList()
                                  << "";
        QTest::newRow("keytool") << Tool::Keytool << "tool/jre/bin/keytool"
                                 << QStringList{"-J-Duser.language=en", "-list", "-keystore",
                                        "/nonexistent.keystore", "-storepass", "x"}
                                 << "Keystore file does not exist";
        QTest::newRow("jarsigner")
            << Tool::Jarsigner << "tool/jre/bin/jarsigner" << QStringList() << "";
    }
    void toolFolderLayout()
    {
        QFETCH(Tool, tool);
        QFETCH(QString, relative);
        QFETCH(QStringList, probe);
        QFETCH(QString, expected);
        const QString path = VaruOs::toolPath(tool, QStringLiteral(VARU_BIN_DIR));
        QCOMPARE(path, QStringLiteral(VARU_BIN_DIR "/") + relative);
        QVERIFY2(QFileInfo(path).isExecutable(), qPrintable(path));
        if (!probe.isEmpty()) {
            const QString output = runProcess(path, probe);
            QVERIFY2(output.contains(expected), qPrintable(output));
        }
    }

    void nothingStartedForEmptyInput_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("empty path") << QString() << QStringList{QStringLiteral("x")};
        QTest::newRow("no arguments") << QStringLiteral("marker") << QStringList();
    }
    void nothingStartedForEmptyInput()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        const QString tool = path.isEmpty() ? QString()
                                            : writeScript(dir.filePath(QStringLiteral("tool")),
                                                "touch '" + marker.toUtf8() + "'\necho ran\n");
        QCOMPARE(runProcess(tool, arguments), QString());
        QVERIFY(!QFile::exists(marker));
    }

    void outputOfScripts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("arguments unchanged")
            << QByteArray("for a in \"$@\"; do echo \"[$a]\"; done\n") << "[one two]\n[-x]\n";
        QTest::newRow("standard error not read")
            << QByteArray("echo out; echo err >&2; exit 3\n") << "out\n";
        QTest::newRow("silent tool") << QByteArray("exit 0\n") << "";
        // Nothing is written to a tool; one that reads its input sees the end at once.
        QTest::newRow("input closed") << QByteArray("read x; echo \"got:$x\"\n") << "got:\n";
    }
    void outputOfScripts()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString tool = writeScript(dir.filePath(QStringLiteral("tool")), body);
        QCOMPARE(runProcess(tool, {QStringLiteral("one two"), QStringLiteral("-x")}), expected);
    }

    // On this platform a tool folder below a path with spaces works as it is.
    void toolBelowPathWithSpaces()
    {
        QTemporaryDir dir;
        const QString appDir = dir.filePath(QStringLiteral("Program Files/Varu PC"));
        writeScript(VaruOs::toolPath(Tool::Aapt, appDir), "echo \"aapt $1\"\n");
        QCOMPARE(runProcess(VaruOs::toolPath(Tool::Aapt, appDir), {QStringLiteral("dump")}),
            QStringLiteral("aapt dump\n"));
    }

    void ownFolderAndEnvironment()
    {
        QTemporaryDir dir;
        const QString tool
            = writeScript(dir.filePath(QStringLiteral("where")), "pwd; echo \"$VARU_PROBE\"\n");
        VaruRunOptions options;
        options.workingDirectory = dir.path();
        options.environment = QProcessEnvironment::systemEnvironment();
        options.environment.insert(QStringLiteral("VARU_PROBE"), QStringLiteral("seen"));
        const QString before = QDir::currentPath();
        QCOMPARE(runProcess(tool, {QStringLiteral("x")}, options),
            dir.path() + QStringLiteral("\nseen\n"));
        QCOMPARE(QDir::currentPath(), before);
    }

    void missingToolGivesEmptyOutput()
    {
        QTemporaryDir dir;
        QCOMPARE(runProcess(dir.filePath(QStringLiteral("no-such-tool")), {QStringLiteral("-v")}),
            QString());
    }

    // A tool still running after the finish wait is killed, reaped, and what it wrote so
    // far is the result.
    void toolOutlivingTheWaitIsKilled()
    {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath(QStringLiteral("pid"));
        const QString tool = writeScript(dir.filePath(QStringLiteral("hang")),
            "echo $$ > '" + pidFile.toUtf8() + "'\necho partial\nexec sleep 600\n");
        VaruRunOptions options;
        options.finishWaitMs = 500;
        QCOMPARE(runProcess(tool, {QStringLiteral("x")}, options), QStringLiteral("partial\n"));
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const pid_t pid = file.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        // Gone entirely: neither running nor left as a zombie.
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    }
};

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
