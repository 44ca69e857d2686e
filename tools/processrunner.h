#pragma once

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
// output so far returned. Standard error, the exit code and the exit status are not
// looked at. Blocks: call it from a worker thread.
QString runProcess(const QString &toolPath, const QStringList &arguments,
    const VaruRunOptions &options = VaruRunOptions());
