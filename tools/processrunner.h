#pragma once

#include <QString>
#include <QStringList>

// Runs one external tool and returns what it wrote to standard output, decoded with the
// local 8-bit codec. Nothing is started for an empty path or argument list. The runner
// waits up to startWaitMs for the start and up to finishWaitMs for the end; a tool still
// running then is killed and its output so far returned. Standard error, the exit code
// and the exit status are not looked at. Blocks: call it from a worker thread.
QString runProcess(const QString &toolPath, const QStringList &arguments, int startWaitMs = 30000,
    int finishWaitMs = 30000);
