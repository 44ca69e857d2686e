#include "apkinfo.h"

#include "apkparser.h"
#include "core/usermodel.h"
#include "platform/logger/logger.h"
#include "recordkeys.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QVariantMap>

namespace {
constexpr int kMissing = -9999;

// Older stored forms carry "state" and "jiagu" as numbers or as decimal strings.
int storedInt(const QVariantMap &map, const QString &key)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return kMissing;
    if (it->type() == QVariant::String) {
        bool ok = false;
        const int value = it->toString().toInt(&ok, 10);
        return ok ? value : 0;
    }
    return it->toInt();
}
} // namespace

VaruApkInfo::VaruApkInfo(const QString &path, QObject *parent)
    : QObject(parent), mParser(new VaruApkParser(this))
{
    connect(mParser, &VaruApkParser::sigApkParseResult, this, &VaruApkInfo::onApkParseResult);
    mFilePath = path;
    mParser->parse(path);
}

VaruApkInfo::VaruApkInfo(const QJsonObject &stored, QObject *parent)
    : QObject(parent), mParser(new VaruApkParser(this))
{
    connect(mParser, &VaruApkParser::sigApkParseResult, this, &VaruApkInfo::onApkParseResult);
    const QVariantMap map = stored.toVariantMap();
    if (!mParser->fromStored(map))
        return;
    mTime = mParser->time();
    if (stored.contains(VaruRecordKey::reinforcedFilePath))
        mReinforcedFilePath = stored.value(VaruRecordKey::reinforcedFilePath).toString();
    if (map.contains(VaruRecordKey::status)) {
        mFileState = map.value(VaruRecordKey::status).toInt();
    } else {
        const int state = storedInt(map, VaruRecordKey::state);
        const int jiagu = storedInt(map, VaruRecordKey::jiagu);
        mFileState = (state == 0 && jiagu == 1) ? FileReinforced : FileUploaded;
    }
}

Log4Qt::Logger *VaruApkInfo::logger()
{
    return mLogger.logger(this);
}

void VaruApkInfo::onApkParseResult(bool succeed)
{
    mFileState = FileNone;
    mTaskState = TaskIdle;
    mStateText.clear();
    mMd5.clear();
    mFileName.clear();
    mPackageName.clear();
    mEdition.clear();
    mReinforcedFilePath.clear();
    mFileSize = 0;
    mTime = 0;
    mFilePath = mParser->path();
    if (succeed) {
        mMd5 = mParser->md5();
        mFileName = mParser->fileName();
        mFileSize = mParser->fileSize();
        mPackageName = mParser->packageName();
        mEdition = mParser->versionName();
        mTime = QDateTime::currentMSecsSinceEpoch();
        setFileState(FileWaiting);
    }
    emit sigApkParseResult(mParser->path(), mParser->errorCode(), mParser->errorText());
}

bool VaruApkInfo::toJson(QString &out) const
{
    if (mMd5.isEmpty())
        return false;
    QJsonObject object;
    object.insert(VaruRecordKey::edition, mEdition);
    object.insert(VaruRecordKey::fileName, mFileName);
    object.insert(VaruRecordKey::filePath, mFilePath);
    object.insert(VaruRecordKey::fileSize, mFileSize);
    object.insert(VaruRecordKey::md5, mMd5);
    object.insert(VaruRecordKey::packageName, mPackageName);
    object.insert(VaruRecordKey::reinforcedFilePath, mReinforcedFilePath);
    object.insert(VaruRecordKey::status, mFileState);
    object.insert(VaruRecordKey::time, mTime);
    out = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    return true;
}

void VaruApkInfo::setFileState(int state)
{
    if (state == mFileState)
        return;
    const int previous = mFileState;
    mFileState = state;
    if (previous != FileNone) {
        mTaskState = TaskCompleted;
        mStateText.clear();
    }
}

void VaruApkInfo::setTaskState(int state, const QString &text)
{
    if (state == TaskQueued && mTaskState == TaskCompleted)
        return;
    if (state == mTaskState) {
        mStateText = text;
        return;
    }
    const int previous = mTaskState;
    mTaskState = state;
    mStateText = text;
    emit sigApkTaskStateChanged(state, previous, mFileState);
}

void VaruApkInfo::setReinforcedFilePath(const QString &path)
{
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        if (logger()->isEnabledFor(Log4Qt::Level::INFO_INT))
            logger()->forcedLog(Log4Qt::Level::INFO_INT,
                QStringLiteral("Set failed, Reinforced file is NOT found."));
        return;
    }
    mReinforcedFilePath = path;
}

void VaruApkInfo::errorInfo(int &code, QString &tip) const
{
    code = mParser->errorCode();
    tip = mParser->errorText();
}

QString VaruApkInfo::sizeText() const
{
    const qint64 size = mFileSize;
    if (size == 0)
        return QStringLiteral("-");
    if (size >= 1024 && size < 1048576)
        return QStringLiteral("%1K").arg(size / 1024.0, 0, 'f', 2);
    if (size >= 1048576 && size < 1073741824)
        return QStringLiteral("%1M").arg(size / 1048576.0, 0, 'f', 2);
    return QStringLiteral("%1B").arg(size);
}

QString VaruApkInfo::timeText() const
{
    if (mTime <= 0)
        return QStringLiteral("-");
    return QDateTime::fromMSecsSinceEpoch(mTime).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString VaruApkInfo::displayStateText() const
{
    if (!mStateText.isEmpty())
        return mStateText;
    if (mTaskState == TaskIdle) {
        switch (mFileState) {
        case FileWaiting:
            return QStringLiteral("文件待加固");
        case FileUploaded:
            return QStringLiteral("文件已上传");
        case FileReinforced:
            return QStringLiteral("文件已加固");
        case FileDownloaded:
            return QStringLiteral("文件已下载");
        case FileCompleted:
            return QStringLiteral("任务已完成");
        default:
            return QString();
        }
    }
    if (mTaskState == TaskQueued)
        return QStringLiteral("排队中...");

    QString step;
    switch (mFileState) {
    case FileWaiting:
        step = QStringLiteral("文件上传");
        break;
    case FileUploaded:
        step = QStringLiteral("文件加固");
        break;
    case FileReinforced:
        step = QStringLiteral("文件下载");
        break;
    case FileDownloaded: {
        VaruUserModel *user = VaruUserModel::instance();
        step = (user->autoPack() || user->autoSign()) && mTaskState != TaskCompleted
            ? QStringLiteral("签名打包")
            : QStringLiteral("文件下载");
        break;
    }
    case FileCompleted:
        step = QStringLiteral("签名打包");
        break;
    default:
        break;
    }
    QString suffix;
    switch (mTaskState) {
    case TaskRunning:
        suffix = QStringLiteral("中...");
        break;
    case TaskPaused:
        suffix = QStringLiteral("已暂停");
        break;
    case TaskCompleted:
        suffix = QStringLiteral("已完成");
        break;
    case TaskFailed:
        suffix = QStringLiteral("失败");
        break;
    default:
        break;
    }
    if (step.isEmpty() || suffix.isEmpty())
        return QString();
    return step + suffix;
}
