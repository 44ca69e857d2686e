#include "processrunner.h"

#include "platform/os/toolpaths.h"

#include <QProcess>

QString runProcess(
    const QString &toolPath, const QStringList &arguments, int startWaitMs, int finishWaitMs)
{
    if (toolPath.isEmpty() || arguments.isEmpty())
        return QString();

    QProcess process;
    // Standard error is never read; letting it pile up in memory would be waste.
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(VaruOs::programForStart(toolPath), arguments, QIODevice::ReadWrite);
    process.waitForStarted(startWaitMs);
    // Nothing is ever written to a tool: a tool that asks for input gets end-of-file at once
    // instead of waiting for the finish wait to run out.
    process.closeWriteChannel();
    process.waitForFinished(finishWaitMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1); // reap it: no zombie is left behind
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}
