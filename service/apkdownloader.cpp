#include "apkdownloader.h"

#include "core/usermodel.h"
#include "platform/logger/level.h"
#include "servicereply.h"
#include "serviceurl.h"
#include "tasks/apkinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

using Log4Qt::Level;

namespace {
constexpr qint64 kReadBuffer = 4 * 1024 * 1024;
} // namespace

VaruApkDownloader::VaruApkDownloader(QObject *parent) : VaruRequest(parent)
{
    mPath = QStringLiteral("/data/download?flag=downloadApp&id=%1");
    mType = TypeDownload;
}

VaruApkDownloader::~VaruApkDownloader()
{
    discardPart();
}

QString VaruApkDownloader::partPath() const
{
    return mOutputPath.isEmpty() ? QString() : mOutputPath + QStringLiteral(".part");
}

// Removes the part file this download made, if it is still there.
void VaruApkDownloader::discardPart()
{
    mPart.close();
    if (!mPart.fileName().isEmpty()) {
        QFile::remove(mPart.fileName());
        mPart.setFileName(QString());
    }
}

bool VaruApkDownloader::start()
{
    return mApkInfo ? VaruRequest::start() : false;
}

bool VaruApkDownloader::prepareOutputPath()
{
    if (!mApkInfo)
        return false;
    const QString fileName = mApkInfo->fileName();
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString base = fileName.left(dot);
    const QString folder = VaruUserModel::instance()->outputDir();
    QString candidate = folder + base + QStringLiteral("_varu.apk");
    auto taken = [](const QString &path) {
        return QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral(".part"));
    };
    for (int n = 1; taken(candidate); ++n)
        candidate = folder + QStringLiteral("%1_varu%2.apk").arg(base).arg(n);
    mOutputPath = candidate;
    return !mOutputPath.isEmpty() && mOutputPath.contains(QLatin1String(".apk"));
}

// The session cookie goes only to the service itself, never to a host a redirect names.
QNetworkReply *VaruApkDownloader::get(const QUrl &url, const QString &cookie)
{
    QNetworkRequest request(url);
    if (isServiceUrl(url))
        request.setRawHeader("Cookie", cookie.toUtf8());
    return mNetworkManager->get(request);
}

void VaruApkDownloader::doRequest()
{
    discardPart();
    mOutputPath.clear();
    mWriteFailed = false;
    if (!mApkInfo || mApkInfo->fileState() != VaruApkInfo::FileReinforced)
        return;
    int code = ErrorNone;
    QString cookie;
    const QString folder = VaruUserModel::instance()->outputDir();
    if (!VaruUserModel::instance()->cookie(cookie)) {
        code = ErrorNotLoggedIn;
    } else if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        log(Level::ERROR_INT,
            QStringLiteral("[Downloader] Download %1 failed, output dir %2 not exists.")
                .arg(mApkInfo->md5(), folder));
        code = ErrorOutputDirMissing;
    } else if (!prepareOutputPath()) {
        code = ErrorOutputDirMissing;
    } else {
        mReply = get(serviceUrl(mPath.arg(mApkInfo->md5().toUpper())), cookie);
        if (mReply && mReply->error() == QNetworkReply::NoError)
            return;
        log(Level::ERROR_INT,
            QStringLiteral("[Downloader] Try to download Apk( %1 ) failed.").arg(mApkInfo->md5()));
        code = ErrorDownloadFailed;
    }
    setErrorCode(code);
    setStatus(StatusFailed);
}

void VaruApkDownloader::onFinished()
{
    int code = ErrorServerConnection;
    if (mReply && mReply->error() == QNetworkReply::NoError) {
        const int httpStatus = mReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (httpStatus == 302) {
            const QUrl target = mReply->url().resolved(
                mReply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
            log(Level::ERROR_INT,
                QStringLiteral("[Downloader] Redirect to %1 .").arg(target.toString()));
            code = ErrorDownloadFailed;
            if (target.isValid() && !target.host().isEmpty()) {
                dropReply();
                QString cookie;
                if (!VaruUserModel::instance()->cookie(cookie)) {
                    code = ErrorNotLoggedIn;
                } else {
                    mElapsedTimer.invalidate();
                    mLastElapsed = 0;
                    mWritten = 0;
                    discardPart();
                    mPart.setFileName(partPath());
                    mWriteFailed = !mPart.open(QIODevice::WriteOnly | QIODevice::NewOnly);
                    if (mWriteFailed)
                        mPart.setFileName(QString()); // someone else's: never removed
                    mReply = get(target, cookie);
                    if (mReply) {
                        // Bounded buffering: the network waits for the file instead of
                        // piling the whole APK up in memory.
                        mReply->setReadBufferSize(kReadBuffer);
                        restartProgressClock();
                        connect(mReply, &QNetworkReply::downloadProgress, this,
                            &VaruApkDownloader::onDownloadProgress);
                        connect(mReply, &QNetworkReply::readyRead, this,
                            &VaruApkDownloader::onDownloadReadyRead);
                        connect(
                            mReply, &QNetworkReply::finished, this, &VaruApkDownloader::onFinished);
                        return;
                    }
                }
            }
        } else {
            const QVariant length = mReply->header(QNetworkRequest::ContentLengthHeader);
            const bool cutOff = length.isValid() && mWritten < length.toLongLong();
            // The file takes its name only whole; the name was free when the download began.
            const bool whole = !cutOff && !mWriteFailed && mPart.isOpen() && mPart.flush();
            mPart.close();
            if (whole && QFile::rename(partPath(), mOutputPath)) {
                mPart.setFileName(QString());
                mApkInfo->setReinforcedFilePath(mOutputPath);
                mApkInfo->setFileState(VaruApkInfo::FileDownloaded);
                setStatus(StatusFinished);
                return;
            }
            code = ErrorDownloadFailed;
        }
    } else if (mReply && mReply->error() != QNetworkReply::OperationCanceledError) {
        code = VaruServiceReply::transportErrorCode(mReply->error());
    }
    discardPart();
    if (mStatus == StatusCanceled) {
        setErrorCode(ErrorNone);
        return;
    }
    log(Level::INFO_INT,
        QStringLiteral("[Downloader] Apk( %1 ) download failed, ErrorCode = %2")
            .arg(mApkInfo->md5())
            .arg(code));
    setErrorCode(code);
    setStatus(StatusFailed);
}

void VaruApkDownloader::onDownloadReadyRead()
{
    if (!mReply)
        return;
    // The body of a further redirect is not part of the file.
    if (mReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 302) {
        mReply->readAll();
        return;
    }
    const QByteArray chunk = mReply->readAll();
    if (mWriteFailed || !mPart.isOpen() || mPart.write(chunk) != chunk.size()) {
        mWriteFailed = true; // a full disk or a folder gone: the download cannot succeed
        return;
    }
    mWritten += chunk.size();
}

void VaruApkDownloader::onDownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    showProgress(QStringLiteral("下载"), bytesReceived, bytesTotal);
}
