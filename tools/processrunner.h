#pragma once

#include <QList>
#include <QPair>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// How a tool is run: the two waits, and optionally its own working folder and
// environment (by default the process's own).
struct VaruRunOptions {
    int startWaitMs = 30000;
    int finishWaitMs = 30000;
    QString workingDirectory;
    QProcessEnvironment environment;
};

// Runs one external tool and returns what it wrote to standard output, decoded with the
// local 8-bit codec. Nothing is started for an empty path or argument list. The runner
// waits for the start and then for the end; a tool still running then is killed and its
// output so far returned. Standard error is never read; the exit code and status are not
// looked at, unless exitCode is given: it then receives the tool's exit code, or -1 when
// the tool did not start, crashed or was killed. Blocks: call it from a worker thread.
QString runProcess(const QString &toolPath, const QStringList &arguments,
    const VaruRunOptions &options = VaruRunOptions(), int *exitCode = nullptr);

// The variables that carry the keystore and key passwords to keytool and jarsigner
// ("-storepass:env", "-keypass:env").
constexpr char kStorePassVariable[] = "VARU_STORE_PASS";
constexpr char kKeyPassVariable[] = "VARU_KEY_PASS";

// The process's own environment with these variables added: how a secret such as a
// keystore password reaches a tool without showing in its argument list, which any user
// of the machine can read.
QProcessEnvironment environmentWith(const QList<QPair<QString, QString>> &variables);
