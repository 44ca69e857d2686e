#include "apkuploader.h"

#include "core/usermodel.h"
#include "platform/logger/level.h"
#include "servicereply.h"
#include "serviceurl.h"
#include "tasks/apkinfo.h"

#include <QFile>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

using Log4Qt::Level;

VaruApkUploader::VaruApkUploader(QObject *parent) : VaruRequest(parent)
{
    mPath = QStringLiteral("/data/upload");
    mType = TypeUpload;
}

bool VaruApkUploader::start()
{
    return mApkInfo ? VaruRequest::start() : false;
}

void VaruApkUploader::doRequest()
{
    if (!mApkInfo)
        return;
    QString cookie;
    if (!VaruUserModel::instance()->cookie(cookie)
        || mApkInfo->fileState() != VaruApkInfo::FileWaiting)
        return;
    const QString filePath = mApkInfo->filePath();
    if (!QFile::exists(filePath)) {
        log(Level::ERROR_INT,
            QStringLiteral("[Uploader] Apk( path = %1 ) is NOT FOUND!").arg(filePath));
        setErrorCode(ErrorFileNotFound);
        setStatus(StatusFailed);
        return;
    }
    if (mApkInfo->fileSize() > kSizeLimit) {
        log(Level::FATAL_INT,
            QStringLiteral("[Uploader] Apk( path = %1 ) is too big to upload! File Size = %2")
                .arg(filePath)
                .arg(mApkInfo->fileSize()));
        setErrorCode(ErrorUploadTooLarge);
        setStatus(StatusFailed);
        return;
    }

    const QString fileName = mApkInfo->fileName();
    auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    multiPart->append(formPart("form-data; name=\"name\"", fileName.toLatin1()));
    multiPart->append(
        formPart("form-data; name=\"size\"", QByteArray::number(mApkInfo->fileSize())));
    multiPart->append(formPart("form-data; name=\"type\"", "application/octet-stream"));
    QHttpPart app;
    app.setRawHeader(
        "Content-Disposition", "form-data; name=\"app\";filename=\"" + fileName.toUtf8() + "\"");
    app.setRawHeader("Content-Type", "application/octet-stream");
    // Streamed from disk by the network layer, never read into memory.
    auto *file = new QFile(filePath, multiPart);
    file->open(QIODevice::ReadOnly);
    app.setBodyDevice(file);
    multiPart->append(app);

    QNetworkRequest request(serviceUrl(mPath));
    request.setRawHeader("cookie", cookie.toUtf8());
    mReply = mNetworkManager->post(request, multiPart);
    if (mReply)
        multiPart->setParent(mReply);
    else
        delete multiPart;

    mElapsedTimer.invalidate();
    mLastElapsed = 0;
    if (!mReply || mReply->error() != QNetworkReply::NoError) {
        log(Level::ERROR_INT,
            QStringLiteral("[Uploader] Try to upload Apk( path = %1 ) failed.").arg(filePath));
        setErrorCode(ErrorUploadRequest);
        return;
    }
    restartProgressClock();
    connect(mReply, &QNetworkReply::uploadProgress, this, &VaruApkUploader::onUploadProgress);
}

void VaruApkUploader::onUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    showProgress(QStringLiteral("上传"), bytesSent, bytesTotal);
}

void VaruApkUploader::onFinished()
{
    int code = ErrorServerConnection;
    if (mReply && mReply->error() != QNetworkReply::NoError) {
        code = VaruServiceReply::transportErrorCode(mReply->error());
    } else if (mReply) {
        const VaruServiceReply::UploadReply reply
            = VaruServiceReply::decodeUpload(mReply->readAll());
        if (!reply.parsed) {
            code = ErrorBadReply;
        } else if (reply.code.sessionExpired) {
            code = ErrorSessionExpired;
        } else if (reply.code.notRegistered) {
            code = ErrorNotRegistered;
        } else if (reply.code.value == 0) {
            mApkInfo->setUploadAppName(reply.appName);
            mApkInfo->setUploadRovan(reply.rovan);
            log(Level::INFO_INT,
                QStringLiteral("[Uploader] Apk( path = %1 ) upload succeed!")
                    .arg(mApkInfo->filePath()));
            mApkInfo->setFileState(VaruApkInfo::FileUploaded);
            setStatus(StatusFinished);
            return;
        } else {
            log(Level::ERROR_INT,
                QStringLiteral("[Uploader] Server callback failed, json code = %1")
                    .arg(reply.code.value));
            switch (reply.code.value) {
            case 10001:
                code = ErrorUploadTooLarge;
                break;
            case 10004:
                code = ErrorApkUnsigned;
                break;
            case 10009:
                code = ErrorApkRisk;
                break;
            default:
                code = ErrorUploadFailed;
                break;
            }
        }
    }
    if (mStatus == StatusCanceled) {
        setErrorCode(ErrorNone);
        return;
    }
    log(Level::ERROR_INT,
        QStringLiteral("[Uploader] Apk( path = %1 ) upload failed, ErrorCode = %2")
            .arg(mApkInfo->filePath())
            .arg(code));
    setErrorCode(code);
    setStatus(StatusFailed);
}
