#include "toolpaths.h"

#include <QCoreApplication>

namespace VaruOs {

namespace {

#ifdef _WIN32
const QLatin1Char kSeparator('\\');
const QLatin1String kExecutableSuffix(".exe");
#else
const QLatin1Char kSeparator('/');
const QLatin1String kExecutableSuffix("");
#endif

QString &toolBaseOverride()
{
    static QString base;
    return base;
}

QString join(std::initializer_list<QString> parts)
{
    QString path;
    for (const QString &part : parts) {
        if (!path.isEmpty())
            path += kSeparator;
        path += part;
    }
    return path;
}

} // namespace

QString toolPath(Tool tool, const QString &appDir)
{
    const QString tools = QStringLiteral("tool");
    const QString jreBin = join({tools, QStringLiteral("jre"), QStringLiteral("bin")});
    const QString zipDir = join({tools, QStringLiteral("zip")});
    switch (tool) {
    case Tool::Keytool:
        return join({appDir, jreBin, QStringLiteral("keytool") + kExecutableSuffix});
    case Tool::Jarsigner:
        return join({appDir, jreBin, QStringLiteral("jarsigner") + kExecutableSuffix});
    case Tool::Zipalign:
        return join({appDir, jreBin, QStringLiteral("zipalign") + kExecutableSuffix});
    case Tool::Aapt:
        return join({appDir, tools, QStringLiteral("aapt") + kExecutableSuffix});
    case Tool::Zip:
        return join({appDir, zipDir, QStringLiteral("zip") + kExecutableSuffix});
    case Tool::Unzip:
        return join({appDir, zipDir, QStringLiteral("unzip") + kExecutableSuffix});
    }
    return QString();
}

QString toolPath(Tool tool)
{
    const QString &base = toolBaseOverride();
    return toolPath(tool, base.isEmpty() ? QCoreApplication::applicationDirPath() : base);
}

void setToolBaseForTesting(const QString &appDir)
{
    toolBaseOverride() = appDir;
}

QString fileInFolder(const QString &folder, const QString &name)
{
    return folder + kSeparator + name;
}

QString programForStart(const QString &toolPath)
{
#ifdef _WIN32
    if (toolPath.contains(QLatin1Char(' ')))
        return QLatin1Char('"') + toolPath + QLatin1Char('"');
#endif
    return toolPath;
}

} // namespace VaruOs
