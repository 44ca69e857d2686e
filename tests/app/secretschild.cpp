// Starts logging and the crash handler the way the client does, then uses a keystore
// password the way the client does (the key listing, signing) and crashes:
//   secretschild KEYSTORE ALIAS APK OUTPUT_FOLDER
// The password comes in the variable SECRET_UNDER_TEST, never on the command line.
#include "app/startup.h"
#include "tools/aliasfetchtool.h"
#include "tools/signtool.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

extern "C" __attribute__((noinline)) void crashWithSecretInMemory(volatile int *where)
{
    *where = 1;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    const QString password = qEnvironmentVariable("SECRET_UNDER_TEST");
    const QString keystore = QString::fromLocal8Bit(argv[1]);
    const QString alias = QString::fromLocal8Bit(argv[2]);
    initLogging();
    initCrashHandler();

    VaruAliasFetchTool fetch;
    QEventLoop loop;
    QStringList aliases;
    QObject::connect(&fetch, &VaruAliasFetchTool::sigAliasListCallback,
        [&](const QString &, const QString &, const QStringList &list, int) {
            aliases = list;
            loop.quit();
        });
    fetch.getAliasName(keystore, password);
    loop.exec();

    VaruSignTool signer;
    const int signedCode = signer.signSync(QString::fromLocal8Bit(argv[3]),
        QString::fromLocal8Bit(argv[4]), keystore, password, alias, password);
    std::printf("aliases=%s signed=%d\n", qPrintable(aliases.join(QLatin1Char(','))), signedCode);
    std::fflush(stdout);
    crashWithSecretInMemory(nullptr);
    return 0;
}
