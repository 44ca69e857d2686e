#include "zip.h"

#include "core/singleton.h"
#include "platform/os/toolpaths.h"
#include "processrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <filesystem>

namespace {
std::atomic<VaruZip *> gInstance{nullptr};
QMutex gInstanceMutex;
} // namespace

VaruZip *VaruZip::instance()
{
    return lazyInstance(gInstance, gInstanceMutex, [] { return new VaruZip; });
}

bool VaruZip::zip(const QString &archive, const QString &file)
{
    if (archive.isEmpty() || file.isEmpty())
        return false;
    const QFileInfo info(file);
    VaruRunOptions options;
    options.workingDirectory = info.absolutePath();
    int exitCode = -1;
    runProcess(VaruOs::toolPath(VaruOs::Tool::Zip),
        {QStringLiteral("-q"), QStringLiteral("-g"), QDir::toNativeSeparators(archive),
            info.fileName()},
        options, &exitCode);
    return exitCode == 0;
}

void VaruZip::unzip(const QString &archive, const QString &entry, const QString &destDir)
{
    if (archive.isEmpty() || entry.isEmpty() || destDir.isEmpty())
        return;
    runProcess(VaruOs::toolPath(VaruOs::Tool::Unzip),
        {QStringLiteral("-q"), QDir::toNativeSeparators(archive), entry, QStringLiteral("-d"),
            QDir::toNativeSeparators(destDir)});
}

void VaruZip::remove(const QString &archive, const QStringList &patterns)
{
    if (archive.isEmpty() || patterns.isEmpty())
        return;
    runProcess(VaruOs::toolPath(VaruOs::Tool::Zip),
        QStringList{QStringLiteral("-q"), QStringLiteral("-d"), QDir::toNativeSeparators(archive)}
            + patterns);
}

QStringList VaruZip::entries(const QString &archive)
{
    if (archive.isEmpty())
        return {};
    const QString listing = runProcess(VaruOs::toolPath(VaruOs::Tool::Unzip),
        {QStringLiteral("-Z1"), QDir::toNativeSeparators(archive)});
    QStringList names = listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &name : names)
        name = name.trimmed();
    return names;
}

bool varuCopyFile(const QString &source, const QString &target)
{
    std::error_code error;
    return std::filesystem::copy_file(QFile::encodeName(source).toStdString(),
        QFile::encodeName(target).toStdString(), std::filesystem::copy_options::overwrite_existing,
        error);
}
