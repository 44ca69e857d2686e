#include "request.h"

#include "core/usermodel.h"
#include "platform/logger/logger.h"
#include "tasks/apkinfo.h"

#include <QDebug>
#include <QHttpPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>

#include <atomic>

namespace {

std::atomic<int> &sequenceCounter()
{
    // Starts at a random point so that numbers of two runs rarely clash in the log.
    static std::atomic<int> counter{static_cast<int>(QRandomGenerator::global()->bounded(10000))};
    return counter;
}

} // namespace

namespace {
std::atomic<int> gLiveRequests{0};
} // namespace

VaruRequest::VaruRequest(QObject *parent)
    : QObject(parent), mNetworkManager(new QNetworkAccessManager(this)), mSeq(++sequenceCounter())
{
    ++gLiveRequests;
}

VaruRequest::~VaruRequest()
{
    dropReply();
    --gLiveRequests;
}

int VaruRequest::liveCount()
{
    return gLiveRequests.load();
}

Log4Qt::Logger *VaruRequest::logger()
{
    return mLogger.logger(this);
}

void VaruRequest::log(Log4Qt::Level level, const QString &message)
{
    if (logger()->isEnabledFor(level))
        logger()->forcedLog(level, message);
}

bool VaruRequest::replyInFlight() const
{
    return mReply && mReply->isRunning();
}

void VaruRequest::dropReply()
{
    if (!mReply)
        return;
    QNetworkReply *reply = mReply;
    mReply = nullptr;
    reply->disconnect(this);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

QString VaruRequest::errorString(int code)
{
    switch (code) {
    case ErrorServerConnection:
        return QStringLiteral("服务器连接异常");
    case ErrorServerUnreachable:
        return QStringLiteral("无法连接服务器");
    case ErrorNetwork:
        return QStringLiteral("网络异常");
    case ErrorNotLoggedIn:
        return QStringLiteral("用户未登录");
    case ErrorFileNotFound:
        return QStringLiteral("文件不存在");
    case ErrorFileSizeLimit:
        return QStringLiteral("文件大小超出限制");
    case ErrorUploadRequest:
        return QStringLiteral("请求上传失败");
    case ErrorUploadFailed:
        return QStringLiteral("文件上传失败");
    case ErrorReinforceRequest:
        return QStringLiteral("请求加固失败");
    case ErrorReinforceTimeout:
        return QStringLiteral("等待加固超时");
    case ErrorReinforceFailed:
        return QStringLiteral("加固失败");
    case ErrorServerReinforce:
        return QStringLiteral("服务器加固失败");
    case ErrorOutputDirMissing:
        return QStringLiteral("下载失败，输出目录不存在");
    case ErrorDirMissing:
        return QStringLiteral("文件目录不存在");
    case ErrorDownloadRequest:
        return QStringLiteral("请求下载失败");
    case ErrorDownloadFailed:
        return QStringLiteral("文件下载失败");
    case ErrorDeleteRequest:
        return QStringLiteral("请求删除失败");
    case ErrorDeleteFailed:
        return QStringLiteral("文件删除失败");
    case ErrorApkUnsigned:
        return QStringLiteral("APK缺少签名");
    case ErrorApkRisk:
        return QStringLiteral("APK存在安全风险");
    case ErrorSessionExpired:
        return QStringLiteral("登录态失效");
    case ErrorPackOpenApk:
        return QStringLiteral("签名打包失败，无法打开apk文件");
    case ErrorPackAliasPassword:
        return QStringLiteral("签名打包失败，别名密码错误");
    case ErrorPackChannelConfig:
        return QStringLiteral("签名打包失败，渠道信息配置错误");
    case ErrorPackSign:
        return QStringLiteral("签名打包失败，签名失败");
    case ErrorPackChannels:
        return QStringLiteral("签名打包失败，多渠道打包失败");
    default:
        return QString();
    }
}

bool VaruRequest::start()
{
    if (mPath.isEmpty() || replyInFlight())
        return false;
    QString cookie;
    if (!VaruUserModel::instance()->cookie(cookie)) {
        log(Log4Qt::Level::INFO_INT, QStringLiteral("Can NOT start request, coz NOT Login."));
        setErrorCode(ErrorNotLoggedIn);
        setStatus(StatusFailed);
        return false;
    }
    if (mStatus != StatusPending && mStatus != StatusCanceled)
        return false;
    mErrorCode = ErrorNone;
    doRequest();
    if (mReply && mReply->error() == QNetworkReply::NoError) {
        connect(mReply, &QNetworkReply::finished, this, &VaruRequest::onFinished);
        return true;
    }
    setStatus(StatusFailed);
    return false;
}

void VaruRequest::cancel()
{
    setStatus(StatusCanceled);
    if (replyInFlight()) {
        QNetworkReply *reply = mReply;
        reply->abort(); // finishes the reply at once: onFinished sees the cancelled status
        reply->deleteLater();
        if (mReply == reply)
            mReply = nullptr;
    }
}

void VaruRequest::setStatus(int status)
{
    if (status == mStatus)
        return;
    const int old = mStatus;
    mStatus = status;
    emit sigRequestStatusChanged(mSeq, status, old);
}

void VaruRequest::setErrorCode(int code)
{
    if (code == mErrorCode)
        return;
    mErrorCode = code;
    emit sigRequestErrorCodeChanged(mSeq, static_cast<uint>(code));
}

void VaruRequest::restartProgressClock()
{
    mElapsedTimer.start();
    mLastElapsed = 0;
}

void VaruRequest::showProgress(const QString &verb, qint64 done, qint64 total)
{
    if (!mApkInfo || mStatus != StatusRunning)
        return;
    double percent = 0;
    if (done > total)
        percent = 100;
    else if (total > 0)
        percent = 100.0 * double(done) / double(total);
    // The average speed since the transfer began: steady, and it needs no history.
    const qint64 elapsed = mElapsedTimer.isValid() ? mElapsedTimer.elapsed() : 0;
    const double speed = elapsed > 0 ? double(done) * 1000.0 / double(elapsed) : 0.0;
    mLastElapsed = elapsed;
    const QString text = QStringLiteral("%1中...(%2%) 速度: %3")
                             .arg(verb)
                             .arg(percent, 0, 'f', 1)
                             .arg(speedText(speed));
    mApkInfo->setTaskState(mApkInfo->taskState(), text);
    qDebug().noquote() << text;
}

QHttpPart VaruRequest::formPart(const QByteArray &disposition, const QByteArray &body)
{
    QHttpPart part;
    part.setRawHeader("Content-Disposition", disposition);
    part.setBody(body);
    return part;
}

QString speedText(double v)
{
    double value = v;
    QString unit = QStringLiteral("B/s");
    if (v <= 0) {
        value = 0;
    } else if (v >= 1073741824.0) {
        value = v / 1073741824.0;
        unit = QStringLiteral("GB/s");
    } else if (v >= 1048576.0) {
        value = v / 1048576.0;
        unit = QStringLiteral("MB/s");
    } else if (v >= 1024.0) {
        value = v / 1024.0;
        unit = QStringLiteral("KB/s");
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 2).arg(unit);
}
