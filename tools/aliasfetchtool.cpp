#include "aliasfetchtool.h"

#include "platform/logger/logger.h"
#include "platform/os/toolpaths.h"
#include "processrunner.h"
#include "task.h"

using Log4Qt::Level;

VaruAliasFetchTool::VaruAliasFetchTool(QObject *parent)
    : QObject(parent), mKeytoolPath(VaruOs::toolPath(VaruOs::Tool::Keytool))
{ }

Log4Qt::Logger *VaruAliasFetchTool::logger()
{
    return mLogger.logger(this);
}

void VaruAliasFetchTool::getAliasName(const QString &keystorePath, const QString &keystorePass)
{
    mErrorCode = NoError;
    if (keystorePath.isEmpty() || keystorePass.size() < 6) {
        mErrorCode = BadArguments;
        return;
    }
    if (mKeytoolPath.isEmpty())
        mErrorCode = NoTool;
    const QString keytool = mKeytoolPath;
    // The password goes through the tool's environment, never its argument list.
    const QStringList args = {QStringLiteral("-list"), QStringLiteral("-keystore"), keystorePath,
        QStringLiteral("-storepass:env"), QLatin1String(kStorePassVariable),
        QStringLiteral("-J-Duser.language=en")};
    VaruRunOptions options;
    options.environment = environmentWith({{QLatin1String(kStorePassVariable), keystorePass}});
    Task::run([keytool, args, options]() {
        return runProcess(keytool, args, options);
    })->then(this, [this, keystorePath, keystorePass](QString output) {
        if (logger()->isEnabledFor(Level::INFO_INT))
            logger()->forcedLog(Level::INFO_INT,
                QStringLiteral("[getAliasName %1 ]: %2 ").arg(keystorePath, output));
        QStringList aliases;
        mErrorCode = parseListing(output, &aliases);
        emit sigAliasListCallback(keystorePath, keystorePass, aliases, mErrorCode);
    });
}

int VaruAliasFetchTool::parseListing(const QString &rawOutput, QStringList *aliases)
{
    aliases->clear();
    if (rawOutput.isEmpty())
        return NoOutput;
    if (rawOutput.contains(QLatin1String("password was incorrect"), Qt::CaseInsensitive))
        return WrongPassword;
    if (!rawOutput.contains(QLatin1String("Your keystore contains"), Qt::CaseInsensitive))
        return NotAListing;

    // Lines end in "\r\n" on one platform and "\n" on another: read both alike.
    QString output = rawOutput;
    output.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QString marker = QStringLiteral("Your keystore contains");
    const int start = output.indexOf(marker);
    if (start < 0)
        return NoError; // the marker differs only in case: no count to read
    const int countStart = start + marker.size();
    int end = output.indexOf(QLatin1String("entry"), countStart);
    if (end < 0)
        end = output.indexOf(QLatin1String("entries"), countStart);
    if (end < 0)
        return NoError;
    bool numeric = false;
    int count = output.mid(countStart, end - countStart).trimmed().toInt(&numeric, 10);
    if (!numeric)
        count = 0;

    // The count line, an empty line, then two lines per entry: the alias line
    // "alias, Mon d, yyyy, EntryType, " and a fingerprint line. Counting commas from the
    // end lets an alias hold commas of its own.
    int lineFeed = output.indexOf(QLatin1Char('\n'), end);
    if (lineFeed < 0)
        return NoError;
    int lineStart = lineFeed + 2;
    for (int i = 0; i < count && lineStart < output.size(); ++i) {
        int lineEnd = output.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = output.size();
        int comma = lineEnd;
        for (int n = 0; n < 4 && comma > lineStart; ++n)
            comma = output.lastIndexOf(QLatin1Char(','), comma - 1);
        if (comma <= lineStart)
            break;
        aliases->append(output.mid(lineStart, comma - lineStart));
        const int fingerprintEnd = output.indexOf(QLatin1Char('\n'), lineEnd + 1);
        if (lineEnd >= output.size() || fingerprintEnd < 0)
            break;
        lineStart = fingerprintEnd + 1;
    }
    return NoError;
}
