#include "tests/fixtures/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Lines the stand-in main program wrote: one per start.
int starts(const QString &marker)
{
    QFile file(marker);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mLauncher;
    QString mMarker;
    QString mDesktop;

    // Runs the launcher with its own HOME; returns its exit code.
    int runLauncher(const QString &launcher, bool withHome = true)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (withHome)
            env.insert(QStringLiteral("HOME"), mDir.filePath(QStringLiteral("home")));
        else
            env.remove(QStringLiteral("HOME"));
        process.setProcessEnvironment(env);
        process.start(launcher, QStringList());
        if (!process.waitForFinished(30000))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        // An installed layout: the launcher, and a stand-in main program that records its start.
        const QString app = mDir.filePath(QStringLiteral("Varu PC"));
        QDir().mkpath(app + QStringLiteral("/bin"));
        mLauncher = app + QStringLiteral("/VaruPC");
        QVERIFY(QFile::copy(QStringLiteral(VARU_BUILD_DIR "/VaruPC"), mLauncher));
        mMarker = mDir.filePath(QStringLiteral("starts.txt"));
        VaruFixtures::writeScript(
            app + QStringLiteral("/bin/VaruPC"), "echo started >> '" + mMarker.toUtf8() + "'\n");
        // The user's desktop folder, as the freedesktop user folders name it.
        mDesktop = mDir.filePath(QStringLiteral("home/Schreibtisch"));
        QDir().mkpath(mDesktop);
        QDir().mkpath(mDir.filePath(QStringLiteral("home/.config")));
        QFile dirs(mDir.filePath(QStringLiteral("home/.config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("# user folders\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    }

    void shortcutAndStart()
    {
        QCOMPARE(runLauncher(mLauncher), 0);
        const QString entry = mDesktop + QStringLiteral("/VaruPC.desktop");
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nName=VaruPC\n")));
        QVERIFY(text.contains(QStringLiteral("\nComment=Shortcut\n")));
        QVERIFY2(
            text.contains(QStringLiteral("\nExec=\"%1/Varu PC/bin/VaruPC\"\n").arg(mDir.path())),
            qPrintable(text));
        QVERIFY(QFileInfo(entry).permissions() & QFileDevice::ExeOwner);
        QTRY_COMPARE_WITH_TIMEOUT(starts(mMarker), 1, 10000);

        // Again: one entry, a second start.
        QCOMPARE(runLauncher(mLauncher), 0);
        QCOMPARE(
            QDir(mDesktop).entryList(QDir::Files), QStringList{QStringLiteral("VaruPC.desktop")});
        QTRY_COMPARE_WITH_TIMEOUT(starts(mMarker), 2, 10000);
    }

    void noDesktopFolder()
    {
        const int before = starts(mMarker);
        QCOMPARE(runLauncher(mLauncher, false), 0);
        QTRY_COMPARE_WITH_TIMEOUT(starts(mMarker), before + 1, 10000);
    }

    void noMainProgram()
    {
        const QString lonely = mDir.filePath(QStringLiteral("lonely"));
        QDir().mkpath(lonely);
        QVERIFY(QFile::copy(mLauncher, lonely + QStringLiteral("/VaruPC")));
        QFile::remove(mDesktop + QStringLiteral("/VaruPC.desktop"));
        QCOMPARE(runLauncher(lonely + QStringLiteral("/VaruPC")), 0);
        QFile file(mDesktop + QStringLiteral("/VaruPC.desktop"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(QFile::encodeName(lonely + QStringLiteral("/bin/VaruPC"))));
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
