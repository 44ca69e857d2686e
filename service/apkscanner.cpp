#include "apkscanner.h"

#include "core/singleton.h"
#include "core/usermodel.h"
#include "platform/logger/logger.h"
#include "servicereply.h"
#include "serviceurl.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimerEvent>
#include <QUrlQuery>

#include <atomic>

using Log4Qt::Level;

namespace {
std::atomic<VaruApkScanner *> gInstance{nullptr};
QMutex gInstanceMutex;
constexpr int kErrorLimit = 3;
} // namespace

VaruApkScanner *VaruApkScanner::instance()
{
    return lazyInstance(gInstance, gInstanceMutex, [] { return new VaruApkScanner; });
}

VaruApkScanner::VaruApkScanner()
    : QObject(nullptr), mNetworkManager(new QNetworkAccessManager(this))
{
    connect(mNetworkManager, &QNetworkAccessManager::finished, this, &VaruApkScanner::onFinished);
}

Log4Qt::Logger *VaruApkScanner::logger()
{
    return mLogger.logger(this);
}

void VaruApkScanner::log(Level level, const QString &message)
{
    if (logger()->isEnabledFor(level))
        logger()->forcedLog(level, message);
}

bool VaruApkScanner::waitForReinforce(const QString &md5, unsigned int timeout)
{
    log(Level::INFO_INT,
        QStringLiteral("[Scanner] wait For Reinforce, MD5 = %1, timeout = %2")
            .arg(md5)
            .arg(timeout));
    if (md5.isEmpty() || mInterval == 0)
        return false;
    if (mWaiting.contains(md5)) {
        log(Level::WARN_INT, QStringLiteral("[Scanner] An Identical request is already EXISTED!"));
        return false;
    }
    QString cookie;
    if (!VaruUserModel::instance()->cookie(cookie)) {
        log(Level::ERROR_INT, QStringLiteral("[Scanner] User is NOT login."));
        return false;
    }
    mWaiting.insert(md5, timeout);
    if (!mBusy)
        scan();
    return true;
}

void VaruApkScanner::removeWaiting(const QString &md5)
{
    if (!md5.isEmpty())
        mWaiting.remove(md5);
}

void VaruApkScanner::scan()
{
    QString cookie;
    if (!VaruUserModel::instance()->cookie(cookie))
        return;
    if (mErrorCount >= kErrorLimit) {
        log(Level::INFO_INT, QStringLiteral("[Scanner] Scan error too much time"));
        const QStringList keys = mWaiting.keys();
        mWaiting.clear();
        mErrorCount = 0;
        for (const QString &key : keys)
            emit sigScanResult(key, ScanFailed);
    }
    if (!mWaiting.isEmpty()) {
        // Cookies set by earlier replies are never sent along: only the session cookie.
        mNetworkManager->clearAccessCache();
        mNetworkManager->setCookieJar(new QNetworkCookieJar(mNetworkManager));
        QNetworkRequest request(serviceUrl(QStringLiteral("/myapp/index")));
        request.setRawHeader("cookie", cookie.toUtf8());
        request.setHeader(QNetworkRequest::ContentTypeHeader,
            QStringLiteral("application/x-www-form-urlencoded"));
        QUrlQuery form;
        form.addQueryItem(QStringLiteral("flag"), QStringLiteral("ajaxData"));
        mNetworkManager->post(request, form.toString().toUtf8());
        if (mTimerId != 0)
            killTimer(mTimerId);
        mTimerId = startTimer(mTickMs, Qt::CoarseTimer);
        mBusy = true;
    } else {
        log(Level::INFO_INT, QStringLiteral("[Scanner] No one waiting, so erase the timer."));
        if (mTimerId != 0) {
            killTimer(mTimerId);
            mTimerId = 0;
        }
        mBusy = false;
    }
}

void VaruApkScanner::timerEvent(QTimerEvent *event)
{
    QObject::timerEvent(event);
    if (event->timerId() != mTimerId)
        return;
    log(Level::INFO_INT, QStringLiteral("[Scanner] On scan timer!"));
    expireWaiting();
    scan();
}

void VaruApkScanner::expireWaiting()
{
    const unsigned int interval = static_cast<unsigned int>(mInterval);
    for (auto it = mWaiting.begin(); it != mWaiting.end(); ++it) {
        if (it.value() > interval) {
            it.value() -= interval;
            continue;
        }
        const QString md5 = it.key();
        log(Level::INFO_INT,
            QStringLiteral("[Scanner] Waiting for the reinforce result timed out, MD5 = %1")
                .arg(md5));
        mWaiting.erase(it);
        emit sigScanResult(md5, ScanTimeout);
        return; // at most one expires per tick
    }
}

void VaruApkScanner::onFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        if (reply->error() != QNetworkReply::OperationCanceledError) {
            log(Level::ERROR_INT,
                QStringLiteral("[Scanner] Scan failed! ErrorCode = %1").arg(int(reply->error())));
            ++mErrorCount;
        }
        return;
    }
    QVector<VaruServiceReply::StatusEntry> entries;
    if (!VaruServiceReply::decodeStatusList(reply->readAll(), &entries)) {
        ++mErrorCount;
        return;
    }
    for (const VaruServiceReply::StatusEntry &entry : entries) {
        QString key;
        for (auto it = mWaiting.cbegin(); it != mWaiting.cend(); ++it) {
            if (it.key().compare(entry.md5, Qt::CaseInsensitive) == 0) {
                key = it.key();
                break;
            }
        }
        if (key.isEmpty())
            continue;
        if (entry.state == 0) {
            mWaiting.remove(key);
            emit sigScanResult(key, entry.jiagu == 1 ? ScanSucceeded : ScanFailed);
            return;
        }
        if (entry.state == 1) {
            emit sigScanResult(key, ScanRunning);
            return;
        }
    }
}
