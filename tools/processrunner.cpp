#include "processrunner.h"

#include "platform/os/toolpaths.h"

#include <QProcess>

QString runProcess(const QString &toolPath, const QStringList &arguments,
    const VaruRunOptions &options, int *exitCode)
{
    if (exitCode)
        *exitCode = -1;
    if (toolPath.isEmpty() || arguments.isEmpty())
        return QString();

    QProcess process;
    // Standard error is never read; letting it pile up in memory would be waste.
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (!options.environment.isEmpty())
        process.setProcessEnvironment(options.environment);
    process.start(VaruOs::programForStart(toolPath), arguments, QIODevice::ReadWrite);
    process.waitForStarted(options.startWaitMs);
    // Nothing is ever written to a tool: a tool that asks for input gets end-of-file at once
    // instead of waiting for the finish wait to run out.
    process.closeWriteChannel();
    process.waitForFinished(options.finishWaitMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1); // reap it: no zombie is left behind
    } else if (exitCode && process.error() == QProcess::UnknownError
        && process.exitStatus() == QProcess::NormalExit) {
        *exitCode = process.exitCode();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QProcessEnvironment environmentWith(const QList<QPair<QString, QString>> &variables)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto &variable : variables)
        environment.insert(variable.first, variable.second);
    return environment;
}
