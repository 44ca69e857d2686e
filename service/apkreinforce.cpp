#include "apkreinforce.h"

#include "apkscanner.h"
#include "core/usermodel.h"
#include "platform/logger/level.h"
#include "servicereply.h"
#include "serviceurl.h"
#include "tasks/apkinfo.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>

using Log4Qt::Level;

VaruApkReinforce::VaruApkReinforce(QObject *parent) : VaruRequest(parent)
{
    mPath = QStringLiteral("/data/serve");
    mType = TypeReinforce;
    connect(VaruApkScanner::instance(), &VaruApkScanner::sigScanResult, this,
        &VaruApkReinforce::onScanResult);
}

VaruApkReinforce::~VaruApkReinforce()
{
    dropReply();
    if (mApkInfo)
        VaruApkScanner::instance()->removeWaiting(mApkInfo->md5());
}

bool VaruApkReinforce::start()
{
    return mApkInfo ? VaruRequest::start() : false;
}

void VaruApkReinforce::doRequest()
{
    if (!mApkInfo || mApkInfo->fileState() < VaruApkInfo::FileUploaded)
        return;
    VaruUserModel *user = VaruUserModel::instance();
    QString cookie;
    if (!user->cookie(cookie))
        return;
    mNetworkManager->clearAccessCache();
    mNetworkManager->setCookieJar(new QNetworkCookieJar(mNetworkManager));

    // "rovan" carries what the upload reply gave as "appName", and the other way round.
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("flag"), QStringLiteral("serveBox"));
    form.addQueryItem(QStringLiteral("jiagu"), QStringLiteral("1"));
    if (user->useRovan()) {
        form.addQueryItem(QStringLiteral("rovan"), mApkInfo->uploadAppName());
        form.addQueryItem(QStringLiteral("appName"), mApkInfo->uploadRovan());
    } else {
        form.addQueryItem(QStringLiteral("rovan"), QStringLiteral("0"));
    }
    form.addQueryItem(
        QStringLiteral("wexly"), user->useWexly() ? QStringLiteral("1") : QStringLiteral("0"));
    form.addQueryItem(QStringLiteral("md5"), mApkInfo->md5().toUpper());

    QNetworkRequest request(serviceUrl(mPath));
    request.setRawHeader("cookie", cookie.toUtf8());
    // What Qt sends for a form body anyway; said here so that it does not warn.
    request.setHeader(
        QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    mReply = mNetworkManager->post(request, form.toString().toUtf8());
    if (!mReply || mReply->error() != QNetworkReply::NoError) {
        log(Level::ERROR_INT,
            QStringLiteral("[Reinforce] Try to post the reinforce request failed!"));
        setErrorCode(ErrorReinforceRequest);
    }
}

void VaruApkReinforce::onFinished()
{
    int code = ErrorServerConnection;
    bool accepted = false;
    if (mReply && mReply->error() != QNetworkReply::NoError) {
        code = VaruServiceReply::transportErrorCode(mReply->error());
    } else if (mReply) {
        VaruServiceReply::Code reply;
        if (!VaruServiceReply::decodeReinforce(mReply->readAll(), &reply))
            code = ErrorBadReply;
        else if (reply.sessionExpired)
            code = ErrorSessionExpired;
        else if (reply.notRegistered)
            code = ErrorNotRegistered;
        else if (reply.value == 0)
            accepted = true;
        else
            code = ErrorReinforceRequest;
    }
    if (accepted) {
        // The request keeps running until the scanner's verdict arrives.
        VaruApkScanner::instance()->waitForReinforce(mApkInfo->md5(), kWaitSeconds);
        return;
    }
    if (mStatus == StatusCanceled) {
        setErrorCode(ErrorNone);
    } else {
        setErrorCode(code);
        setStatus(StatusFailed);
    }
    log(Level::ERROR_INT,
        QStringLiteral("[Reinforce] Post the request failed. ErrorCode = %1").arg(code));
}

void VaruApkReinforce::onScanResult(const QString &md5, int result)
{
    // Only a request that is still waiting takes a verdict.
    if (!mApkInfo || mStatus != StatusRunning
        || md5.compare(mApkInfo->md5(), Qt::CaseInsensitive) != 0)
        return;
    switch (result) {
    case VaruApkScanner::ScanSucceeded:
        mApkInfo->setFileState(VaruApkInfo::FileReinforced);
        setStatus(StatusFinished);
        break;
    case VaruApkScanner::ScanTimeout:
        setErrorCode(ErrorReinforceTimeout);
        setStatus(StatusFailed);
        break;
    case VaruApkScanner::ScanFailed:
        setErrorCode(ErrorReinforceFailed);
        setStatus(StatusFailed);
        break;
    default:
        break;
    }
}

void VaruApkReinforce::cancel()
{
    VaruRequest::cancel();
    const QString md5 = mApkInfo ? mApkInfo->md5() : QString();
    log(Level::INFO_INT, QStringLiteral("[Scanner] Cancel apk reinforce, MD5 = %1").arg(md5));
    VaruApkScanner::instance()->removeWaiting(md5);
}
