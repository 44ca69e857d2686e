#include "apkparser.h"

#include "platform/os/toolpaths.h"
#include "tools/processrunner.h"
#include "tools/task.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSharedPointer>

namespace {
// Only the start of aapt's output is looked at; the package line is its first line.
constexpr int kKeptOutput = 512;
constexpr qint64 kHashChunk = 4096;
constexpr qint64 kReadBlock = 1024 * 1024;
} // namespace

VaruApkParser::VaruApkParser(QObject *parent)
    : QObject(parent), mAaptPath(VaruOs::toolPath(VaruOs::Tool::Aapt))
{ }

QString VaruApkParser::errorText(int code)
{
    switch (code) {
    case FileMissing:
        return QStringLiteral("Apk路径不存在");
    case ReaderUnavailable:
        return QStringLiteral("无法解析Apk");
    case ParseFailed:
        return QStringLiteral("Apk解析失败");
    default:
        return QString();
    }
}

bool VaruApkParser::isComplete() const
{
    return !mFileName.isEmpty() && mFileSize > 0 && !mPackageName.isEmpty() && !mMd5.isEmpty();
}

bool VaruApkParser::parse(const QString &path)
{
    if (path == mPath && isComplete())
        return true;
    mErrorCode = NoError;
    mPath = path;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        mErrorCode = FileMissing;
        return false;
    }
    mFileName = info.fileName();
    mFileSize = info.size();
    mPackageName.clear();
    mMd5.clear();
    mTime = 0;

    if (!QFileInfo::exists(mAaptPath) || mPath.isEmpty()) {
        mErrorCode = ReaderUnavailable;
        return false;
    }

    // The worker hands its MD5 over in a holder of its own, so that a parser destroyed
    // while the worker runs is never written to.
    const QString aapt = mAaptPath;
    const QSharedPointer<QString> md5 = QSharedPointer<QString>::create();
    Task::run([aapt, path, md5]() {
        *md5 = fileMd5(path);
        if (md5->isEmpty())
            return QString();
        return runProcess(aapt, {QStringLiteral("dump"), QStringLiteral("badging"), path})
            .left(kKeptOutput);
    })->then(this, [this, md5](QString output) { onReadFinished(*md5, output); });
    return true;
}

void VaruApkParser::onReadFinished(const QString &md5, const QString &output)
{
    mMd5 = md5;
    mErrorCode = ParseFailed;
    if (!output.isEmpty() && parseBadging(output, &mPackageName, &mVersionName))
        mErrorCode = NoError;
    emit sigApkParseResult(mErrorCode == NoError);
}

bool VaruApkParser::parseBadging(const QString &output, QString *packageName, QString *versionName)
{
    const QString packageMarker = QStringLiteral("package: name='");
    const int package = output.indexOf(packageMarker);
    if (package < 0)
        return false;
    const int start = package + packageMarker.size();
    const int end = output.indexOf(QLatin1Char('\''), start);
    const QString name = output.mid(start, end < 0 ? -1 : end - start);
    if (name.isEmpty())
        return false; // a task needs its package name: an empty one is no reading
    *packageName = name;

    const QString versionMarker = QStringLiteral("versionName='");
    const int version = output.indexOf(versionMarker);
    if (version >= 0) {
        const int vStart = version + versionMarker.size();
        const int vEnd = output.indexOf(QLatin1Char('\''), vStart);
        *versionName = output.mid(vStart, vEnd < 0 ? -1 : vEnd - vStart);
    }
    return true;
}

QString VaruApkParser::fileMd5(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QString();
    const qint64 size = file.size();
    QCryptographicHash hash(QCryptographicHash::Md5);
    // Read in large blocks (one system call each), hashed in 4096-byte chunks.
    QByteArray block(static_cast<int>(kReadBlock), Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(block.data(), qMin(kReadBlock, size - done));
        if (n <= 0)
            break;
        for (qint64 at = 0; at < n; at += kHashChunk)
            hash.addData(block.constData() + at, static_cast<int>(qMin(kHashChunk, n - at)));
        done += n;
    }
    return QString::fromLatin1(hash.result().toHex()).toUpper();
}

bool VaruApkParser::fromStored(const QVariantMap &stored)
{
    if (stored.isEmpty())
        return false;
    mErrorCode = NoError;
    mPath = stored.value(QStringLiteral("filePath")).toString();
    mMd5 = stored.value(QStringLiteral("md5")).toString();
    mFileName = stored.value(QStringLiteral("fileName")).toString();
    mFileSize = static_cast<qint64>(stored.value(QStringLiteral("fileSize")).toULongLong());
    mPackageName = stored.value(QStringLiteral("packageName")).toString();
    mVersionName = stored.value(QStringLiteral("edition")).toString();
    mTime = static_cast<qint64>(stored.value(QStringLiteral("time")).toULongLong());
    if (!isComplete())
        return false;
    emit sigApkParseResult(true);
    return true;
}
